#pragma once
// Real input for widget tests: X events sent through the X server with XTest,
// so that the pointer's hit-testing, the keyboard focus and the window
// manager are the server's and Qt's, never the test's.  Needs an X display
// (QT_QPA_PLATFORM=xcb); tools/under-xvfb and tools/under-openbox give one.
//
// Positions are Qt's device-independent pixels; the driver turns them into the
// server's pixels with the widget's device pixel ratio, and finds where a
// window lies on the screen by asking the server, not Qt.

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace fairstake::xinput {

class Driver {
public:
    // Opens a connection of its own to $DISPLAY; ok() tells whether it and XTest are there.
    Driver();
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;
    bool ok() const;

    // The widget (in any shown top-level window) with that objectName; nullptr if none.
    static QWidget* find(const QString& objectName);

    // Where a point of the widget lies on the screen, in the server's pixels;
    // `at` defaults to the widget's centre.
    QPoint screenPoint(const QWidget* widget, std::optional<QPoint> at = {}) const;

    // Pointer moves and clicks (button 1 left, 3 right) at a screen point or on a widget.
    void moveTo(QPoint screen);
    void clickAt(QPoint screen, int button = 1);
    void click(const QWidget* widget, std::optional<QPoint> at = {}, int button = 1);
    bool click(const QString& objectName, std::optional<QPoint> at = {}, int button = 1);

    // Types the text key by key, one key every `perKey`, from a thread of its
    // own: the keys arrive at that pace whatever the program is doing, as a
    // typist's do, while this thread runs the event loop.  Returns once the
    // program is idle again.  "^a" in the text is Ctrl+A, "\b" BackSpace.
    void type(const QString& text, std::chrono::milliseconds perKey);
    // One key by its X keysym name ("Tab", "Up", "BackSpace"), with Ctrl if asked.
    void key(const char* keysymName, bool control = false);

    // Runs the event loop until the program has handled every X event sent so
    // far (a marker event sent after them has come through) and nothing else
    // is pending; gives up after `limit`.
    bool waitIdle(std::chrono::milliseconds limit = std::chrono::milliseconds(5000));
    // Runs the event loop for a while (window-manager reactions take their time).
    static void pump(std::chrono::milliseconds duration);

    // The outermost window the window manager put around the top-level widget's
    // window (its frame; the window itself if it has none), and its geometry on
    // the screen in the server's pixels.
    unsigned long frameWindow(const QWidget* topLevel) const;
    QRect frameGeometry(const QWidget* topLevel) const;
    // A property of an X window: the bytes of an 8-bit property (texts such as
    // _NET_WM_NAME), or the values of a 32-bit one (WM_STATE, _NET_WM_STATE,
    // _NET_FRAME_EXTENTS; atoms as numbers, see atom()).
    std::optional<QByteArray> textProperty(unsigned long window, const char* name) const;
    std::optional<std::vector<long>> longProperty(unsigned long window, const char* name) const;
    unsigned long atom(const char* name) const;

private:
    struct Connection;
    std::unique_ptr<Connection> x_;
};

} // namespace fairstake::xinput
