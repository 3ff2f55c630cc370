#include "xdriver.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QEventLoop>
#include <QWidget>
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <atomic>
#include <cstring>
#include <thread>
#include <xcb/xcb.h>

namespace fairstake::xinput {

namespace {

constexpr const char* kMarkerAtom = "FAIRSTAKE_TEST_MARKER";

// Sees the marker client messages in the program's own event stream: when one
// comes through, every X event the server sent before it has been handled.
class MarkerFilter : public QAbstractNativeEventFilter {
public:
    explicit MarkerFilter(unsigned long atom) : atom_(atom) {}
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return false;
        const auto* client = static_cast<const xcb_client_message_event_t*>(message);
        if (client->type != atom_) return false;
        seen = client->data.data32[0];
        return true;
    }
    std::atomic<unsigned> seen{0};

private:
    unsigned long atom_;
};

// Presses (down) or releases one key for a Latin-1 character or keysym,
// with Shift when the key needs it.
void sendKeysym(Display* display, KeySym symbol, bool control) {
    const KeyCode code = XKeysymToKeycode(display, symbol);
    if (code == 0) return;
    const bool shift = XkbKeycodeToKeysym(display, code, 0, 0) != symbol &&
                       XkbKeycodeToKeysym(display, code, 0, 1) == symbol;
    const KeyCode shiftCode = XKeysymToKeycode(display, XK_Shift_L);
    const KeyCode controlCode = XKeysymToKeycode(display, XK_Control_L);
    if (control) XTestFakeKeyEvent(display, controlCode, True, CurrentTime);
    if (shift) XTestFakeKeyEvent(display, shiftCode, True, CurrentTime);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    if (shift) XTestFakeKeyEvent(display, shiftCode, False, CurrentTime);
    if (control) XTestFakeKeyEvent(display, controlCode, False, CurrentTime);
    XFlush(display);
}

unsigned long nativeWindow(const QWidget* widget) {
    return static_cast<unsigned long>(widget->window()->winId());
}

} // namespace

struct Driver::Connection {
    Display* display = nullptr;
    bool xtest = false;
    unsigned long marker = 0;
    unsigned sent = 0;
    std::unique_ptr<MarkerFilter> filter;
};

Driver::Driver() : x_(std::make_unique<Connection>()) {
    x_->display = XOpenDisplay(nullptr);
    if (!x_->display) return;
    int event = 0, error = 0, major = 0, minor = 0;
    x_->xtest = XTestQueryExtension(x_->display, &event, &error, &major, &minor);
    x_->marker = XInternAtom(x_->display, kMarkerAtom, False);
    x_->filter = std::make_unique<MarkerFilter>(x_->marker);
    QCoreApplication::instance()->installNativeEventFilter(x_->filter.get());
}

Driver::~Driver() {
    if (x_->filter) QCoreApplication::instance()->removeNativeEventFilter(x_->filter.get());
    if (x_->display) XCloseDisplay(x_->display);
}

bool Driver::ok() const {
    return x_->display && x_->xtest;
}

QWidget* Driver::find(const QString& objectName) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible()) continue;
        if (top->objectName() == objectName) return top;
        if (auto* w = top->findChild<QWidget*>(objectName)) return w;
    }
    return nullptr;
}

QPoint Driver::screenPoint(const QWidget* widget, std::optional<QPoint> at) const {
    const QPoint local = at.value_or(widget->rect().center());
    const QPoint inWindow = widget->mapTo(widget->window(), local);
    const qreal ratio = widget->devicePixelRatioF();
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(x_->display, nativeWindow(widget), DefaultRootWindow(x_->display), 0, 0, &rootX,
                          &rootY, &child);
    return QPoint(rootX + qRound(inWindow.x() * ratio), rootY + qRound(inWindow.y() * ratio));
}

void Driver::moveTo(QPoint screen) {
    XTestFakeMotionEvent(x_->display, DefaultScreen(x_->display), screen.x(), screen.y(), CurrentTime);
    XFlush(x_->display);
}

void Driver::clickAt(QPoint screen, int button) {
    // As a hand clicks: the pointer arrives, the button goes down, and comes
    // up a little later, the program running meanwhile.
    moveTo(screen);
    pump(std::chrono::milliseconds(5));
    XTestFakeButtonEvent(x_->display, static_cast<unsigned>(button), True, CurrentTime);
    XFlush(x_->display);
    pump(std::chrono::milliseconds(20));
    XTestFakeButtonEvent(x_->display, static_cast<unsigned>(button), False, CurrentTime);
    XFlush(x_->display);
}

void Driver::click(const QWidget* widget, std::optional<QPoint> at, int button) {
    clickAt(screenPoint(widget, at), button);
}

bool Driver::click(const QString& objectName, std::optional<QPoint> at, int button) {
    const QWidget* widget = find(objectName);
    if (widget) click(widget, at, button);
    return widget;
}

void Driver::key(const char* keysymName, bool control) {
    sendKeysym(x_->display, XStringToKeysym(keysymName), control);
}

void Driver::type(const QString& text, std::chrono::milliseconds perKey) {
    QEventLoop loop;
    std::thread typist([&] {
        // A connection of the typist's own: Xlib connections are not shared between threads here.
        Display* display = XOpenDisplay(nullptr);
        if (display) {
            for (qsizetype i = 0; i < text.size(); ++i) {
                const QChar c = text[i];
                if (c == u'^' && i + 1 < text.size()) {
                    sendKeysym(display, text[++i].unicode(), true);
                } else if (c == u'\b') {
                    sendKeysym(display, XK_BackSpace, false);
                } else {
                    sendKeysym(display, c.unicode(), false); // Latin-1 keysyms are the characters' codes
                }
                std::this_thread::sleep_for(perKey);
            }
            XCloseDisplay(display);
        }
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    typist.join();
    waitIdle();
}

bool Driver::waitIdle(std::chrono::milliseconds limit) {
    XSync(x_->display, False);
    QWidget* top = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->internalWinId()) top = w;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    if (top) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = nativeWindow(top);
        event.xclient.message_type = x_->marker;
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(++x_->sent);
        XSendEvent(x_->display, event.xclient.window, False, NoEventMask, &event);
        XFlush(x_->display);
        while (x_->filter->seen < x_->sent) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    // What the handled events posted (queued calls, deferred repaints) runs too.
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    return true;
}

void Driver::pump(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

unsigned long Driver::frameWindow(const QWidget* topLevel) const {
    Window window = nativeWindow(topLevel);
    for (;;) {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(x_->display, window, &root, &parent, &children, &count)) return window;
        if (children) XFree(children);
        if (parent == root || parent == 0) return window;
        window = parent;
    }
}

QRect Driver::frameGeometry(const QWidget* topLevel) const {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(x_->display, frameWindow(topLevel), &a)) return {};
    return QRect(a.x, a.y, a.width + 2 * a.border_width, a.height + 2 * a.border_width);
}

unsigned long Driver::atom(const char* name) const {
    return XInternAtom(x_->display, name, False);
}

namespace {

struct RawProperty {
    int format = 0;
    unsigned long count = 0;
    QByteArray bytes;
};

std::optional<RawProperty> readProperty(Display* display, unsigned long window, Atom name) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, name, 0, 65536, False, AnyPropertyType, &type, &format, &count,
                           &after, &data) != Success ||
        type == None) {
        if (data) XFree(data);
        return std::nullopt;
    }
    RawProperty p;
    p.format = format;
    p.count = count;
    // Xlib hands 32-bit properties over as longs.
    const std::size_t unit = format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
    p.bytes = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(count * unit));
    XFree(data);
    return p;
}

} // namespace

std::optional<QByteArray> Driver::textProperty(unsigned long window, const char* name) const {
    const auto p = readProperty(x_->display, window, atom(name));
    if (!p || p->format != 8) return std::nullopt;
    return p->bytes;
}

std::optional<std::vector<long>> Driver::longProperty(unsigned long window, const char* name) const {
    const auto p = readProperty(x_->display, window, atom(name));
    if (!p || p->format != 32) return std::nullopt;
    std::vector<long> values(p->count);
    std::memcpy(values.data(), p->bytes.constData(), p->count * sizeof(long));
    return values;
}

} // namespace fairstake::xinput
