#pragma once

#include <QObject>
#include <memory>

// Each widget's test class lives in its own file; main runs them in turn.
std::unique_ptr<QObject> makeRadioGroupTest();
std::unique_ptr<QObject> makeMarqueeTest();
std::unique_ptr<QObject> makeBalloonHintTest();
std::unique_ptr<QObject> makeWidgetsTest();
