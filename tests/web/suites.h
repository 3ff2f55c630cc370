#pragma once

#include <QObject>
#include <memory>

// Each group lives in its own file; main runs them in turn.
std::unique_ptr<QObject> makeProxyTest();
std::unique_ptr<QObject> makeWindowTest();
std::unique_ptr<QObject> makeHelperTest();
std::unique_ptr<QObject> makeFailureTest();
// Only on a real X server (the xcb platform); the others only offscreen.
std::unique_ptr<QObject> makeDesktopTest();
