#pragma once

#include <QObject>
#include <memory>

// Each group lives in its own file; main runs them in turn.
std::unique_ptr<QObject> makeProxyTest();
std::unique_ptr<QObject> makeWindowTest();
std::unique_ptr<QObject> makeHelperTest();
