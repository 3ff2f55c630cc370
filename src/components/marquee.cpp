#include "components/marquee.h"

#include <QBackingStore>
#include <QWindow>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace fairstake {

Marquee::Marquee(QWidget* parent) : QFrame(parent) {
    m_timer.setInterval(20);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Marquee::tick);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Marquee::setText(const QString& text) {
    QString clean = text;
    for (QChar& c : clean)
        if (c.unicode() < 32) c = u' ';
    m_text = clean;
    m_textDrawing = QPixmap();
    // The piece in view was cut from the old text.
    m_started = false;
    if (m_active) updateTimer();
    update();
}

void Marquee::setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }

void Marquee::activate() {
    m_active = true;
    updateTimer();
}

void Marquee::deactivate() {
    m_active = false;
    m_started = false;
    m_timer.stop();
    dropScreen();
    update();
}

void Marquee::updateTimer() {
    const bool wanted = m_active && isEnabled() && !m_text.isEmpty();
    if (wanted && onScreen()) {
        if (!m_timer.isActive()) m_timer.start();
    } else {
        m_timer.stop();
    }
}

// Whether anybody can see the band: shown, in a window that is neither
// minimized nor unexposed (unmapped, on another workspace, or fully covered
// where the window system says so).
bool Marquee::onScreen() const {
    if (!isVisible()) return false;
    const QWidget* top = window();
    const QWindow* native = top->windowHandle();
    return !top->isMinimized() && native && native->isExposed();
}

// The window's exposure and its minimized state arrive as events to the
// native window and to the top-level widget; both are watched, and watched
// again whenever the band is shown (the native window may have been made anew).
void Marquee::watchWindow() {
    QWidget* top = window();
    if (m_watchedTop != top) {
        if (m_watchedTop) m_watchedTop->removeEventFilter(this);
        m_watchedTop = top;
        if (top != this) top->installEventFilter(this);
    }
    QWindow* native = top->windowHandle();
    if (m_watchedWindow != native) {
        if (m_watchedWindow) m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = native;
        if (native) native->installEventFilter(this);
    }
}

// Seen before the window handles them: the exposure and the window state are
// already the new ones, and the backing store, which Qt is about to show again
// for an exposure, can still take the strip as the ticks put it on screen.
bool Marquee::eventFilter(QObject* watched, QEvent* event) {
    // Only an exposure that shows the window: the one that takes it off screen
    // (closing, on Wayland) comes when the backing store has no buffer left.
    if (watched == m_watchedWindow && event->type() == QEvent::Expose && m_storeBehind && m_watchedWindow->isExposed())
        paintStore();
    if ((watched == m_watchedWindow && event->type() == QEvent::Expose) ||
        (watched == m_watchedTop && event->type() == QEvent::WindowStateChange))
        updateTimer();
    return QFrame::eventFilter(watched, event);
}

void Marquee::showEvent(QShowEvent* event) {
    watchWindow();
    updateTimer();
    QFrame::showEvent(event);
}

// Also sent, without the widget being hidden, when its window is minimized.
void Marquee::hideEvent(QHideEvent* event) {
    updateTimer();
    if (!isVisible()) dropScreen();
    QFrame::hideEvent(event);
}

void Marquee::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::WindowStateChange) updateTimer();
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        m_pieceWidth = -1;
        m_lineHeight = -1;
        m_textDrawing = QPixmap();
    }
    QFrame::changeEvent(event);
}

int Marquee::lineHeight() const {
    if (m_lineHeight < 0) m_lineHeight = QFontMetrics(font()).height();
    return m_lineHeight;
}

int Marquee::stripTop() const { return (contentsRect().height() - lineHeight()) / 2; }

void Marquee::initialise() {
    m_x = contentsRect().width();
    m_nextIndex = 1;
    m_piece.clear();
    m_pieceWidth = 0;
}

// The piece's width as a whole: its extent in the laid-out text, which is
// what a tick copies; measured on its own only for a text too wide to draw.
int Marquee::pieceWidth() {
    if (m_pieceWidth >= 0) return m_pieceWidth;
    if (m_textTooWide) {
        m_pieceWidth = QFontMetrics(font()).horizontalAdvance(m_piece);
    } else {
        const auto end = std::size_t(m_nextIndex - 1);
        m_pieceWidth = m_boundaries[end] - m_boundaries[end - std::size_t(m_piece.size())];
    }
    return m_pieceWidth;
}

// Margin around a drawing, for glyphs that reach past their advance.
namespace {
constexpr int kOverhang = 4;
}

// The whole text is drawn once, with the position of every character
// boundary and the width of every character on its own; a tick copies the
// piece in view out of that drawing.
void Marquee::renderText(qreal ratio) {
    if (!m_textDrawing.isNull() && m_textDrawing.devicePixelRatio() == ratio) return;
    const QFontMetrics metrics(font());
    m_advances.resize(std::size_t(m_text.size()));
    for (qsizetype i = 0; i < m_text.size(); ++i)
        m_advances[std::size_t(i)] = metrics.horizontalAdvance(m_text.at(i));
    QTextLayout layout(m_text, font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) line.setLineWidth(std::min(metrics.horizontalAdvance(m_text) + 1, 1 << 24));
    layout.endLayout();
    m_boundaries.resize(m_text.size() + 1);
    for (qsizetype i = 0; i <= m_text.size(); ++i)
        m_boundaries[std::size_t(i)] = line.isValid() ? qRound(line.cursorToX(int(i))) : 0;
    // Pixmaps stop at 32767 device pixels; a longer text is drawn piece by piece.
    const int width = m_boundaries.back() + 2 * kOverhang;
    if (width * ratio > 32767) {
        m_textDrawing = QPixmap(1, 1);
        m_textDrawing.setDevicePixelRatio(ratio);
        m_textTooWide = true;
        return;
    }
    m_textTooWide = false;
    m_textDrawing = QPixmap(QSize(width, lineHeight()) * ratio);
    m_textDrawing.setDevicePixelRatio(ratio);
    // Copied over the strip's own background colour, so the drawing may be opaque.
    m_textDrawing.fill(palette().color(QPalette::Window));
    QPainter painter(&m_textDrawing);
    painter.setPen(palette().color(QPalette::WindowText));
    if (line.isValid()) line.draw(&painter, QPointF(kOverhang, metrics.ascent() - line.ascent()));
    painter.end();
}

void Marquee::tick() {
    if (m_busy) return;
    m_busy = true;
    if (!m_started) {
        initialise();
        m_started = true;
    }
    const qreal ratio = devicePixelRatioF();
    renderText(ratio); // once per text, font and pixel ratio
    const int clientWidth = contentsRect().width();

    for (int pass = 0; pass < 2; ++pass) {
        m_x -= m_step;
        if (m_x < 0) {
            while (!m_piece.isEmpty()) {
                const int first = m_advances[std::size_t(m_nextIndex - 1 - m_piece.size())];
                if (first + m_x > 0) break;
                m_x += first;
                m_piece.remove(0, 1);
                m_pieceWidth = -1;
            }
        }
        while (pieceWidth() + m_x < clientWidth && m_nextIndex <= m_text.size()) {
            m_piece += m_text.at(m_nextIndex - 1);
            ++m_nextIndex;
            m_pieceWidth = -1;
        }
        // The whole text has left on the left: start again from the right edge, this tick.
        if (m_nextIndex > m_text.size() && m_piece.isEmpty() && pass == 0) {
            initialise();
            continue;
        }
        break;
    }

    // Only the strip changes; the rest of the band keeps its background.  Painted
    // at once rather than through a posted update: no wake-up of the event loop.
    if (!showOnScreen(ratio)) repaint(stripRect());
    m_busy = false;
}

// Where the window system allows it (X11), the strip goes straight to the
// screen from the drawing kept in the display server: one copy request a tick,
// no wait on the server, no image sent, nothing painted on this side.  The
// window's backing store catches up only when the window system redraws the
// window from it.
bool Marquee::showOnScreen(qreal ratio) {
    // Not before Qt has painted the band once: until then the window's backing
    // store may not exist yet (a tick can come before the first paint).
    if (m_textTooWide || !m_painted || !isVisible() || ratio != std::floor(ratio)) return false;
    QWidget* top = window();
    if (!m_screenTried || m_screenWindow != top->internalWinId()) {
        m_screenTried = true;
        m_screenWindow = top->internalWinId();
        m_screen = ScreenStrip::create(this);
        m_screenPicture = 0;
    }
    if (!m_screen || !top->backingStore() || !top->windowHandle() || !top->windowHandle()->isExposed()) return false;
    // The backing store is brought up to date only when the window system
    // asks for the window's contents again (eventFilter).
    m_storeBehind = true;

    const QRect strip = stripRect();
    const QPoint offset = mapTo(top, QPoint(0, 0));
    QRect target;
    int sourceLeft = 0;
    const int r = int(ratio);
    if (!m_piece.isEmpty() && pieceGeometry(target, sourceLeft)) {
        if (m_screenPicture != m_textDrawing.cacheKey()) {
            m_screen->setPicture(m_textDrawing.toImage());
            m_screenPicture = m_textDrawing.cacheKey();
        }
    } else {
        target = QRect();
    }
    m_screen->show(QRect((strip.topLeft() + offset) * r, strip.size() * r), palette().color(QPalette::Window),
                   QRect(sourceLeft * r, 0, target.width() * r, target.height() * r), (target.topLeft() + offset) * r);
    return true;
}

// The strip as it is on screen, painted into the window's backing store without
// handing it over: Qt hands it over itself, right after, for an exposure.
void Marquee::paintStore() {
    m_storeBehind = false;
    QWidget* top = window();
    QBackingStore* store = top->backingStore();
    if (!store || store->size().isEmpty()) return;
    const QRect strip = stripRect();
    const QPoint offset = mapTo(top, QPoint(0, 0));
    const QRegion region(strip.translated(offset));
    store->beginPaint(region);
    if (QPaintDevice* device = store->paintDevice(); device && device->paintEngine()) {
        QPainter painter(device);
        painter.translate(offset);
        painter.fillRect(strip, palette().color(QPalette::Window));
        if (!m_piece.isEmpty()) drawPiece(painter);
    }
    store->endPaint();
}

// The straight way is let go (on Wayland its surface would stay on screen
// over a static or hidden band), to be made again at the next tick.
void Marquee::dropScreen() {
    m_screen.reset();
    m_screenTried = false;
}

QRect Marquee::stripRect() const {
    const QRect client = contentsRect();
    return QRect(client.left(), client.top() + stripTop(), client.width(), lineHeight()) & client;
}

// The piece in view, copied straight out of the drawing of the whole text onto
// the band (the window's backing store is the off-screen buffer), cut to the
// client area.
void Marquee::drawPiece(QPainter& painter) {
    const QRect strip = stripRect();
    if (m_textTooWide) {
        const QFontMetrics metrics(font());
        painter.save();
        painter.setClipRect(strip);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QPoint(strip.left() + m_x, strip.top() + metrics.ascent()), m_piece);
        painter.restore();
        return;
    }
    QRect target;
    int sourceLeft = 0;
    if (!pieceGeometry(target, sourceLeft)) return;
    const qreal ratio = m_textDrawing.devicePixelRatio();
    painter.drawPixmap(target, m_textDrawing,
                       QRectF(sourceLeft * ratio, 0, target.width() * ratio, target.height() * ratio));
}

// Where the piece lands on the band (cut to the client area) and from which x
// of the drawing it is copied.  The piece runs from character first to the one
// before next index; text position t lies at t + kOverhang in the drawing and
// at m_x + t - from on the strip, and its glyphs may reach kOverhang pixels
// past either end.
bool Marquee::pieceGeometry(QRect& target, int& sourceLeft) const {
    const QRect strip = stripRect();
    const std::size_t first = std::size_t(m_nextIndex - 1 - m_piece.size());
    const int from = m_boundaries[first];
    const int to = m_boundaries[std::size_t(m_nextIndex - 1)];
    target = QRect(strip.left() + m_x - kOverhang, strip.top(), to - from + 2 * kOverhang, strip.height()) & strip;
    sourceLeft = from + kOverhang + (target.left() - strip.left() - m_x);
    return !target.isEmpty();
}

void Marquee::paintEvent(QPaintEvent* event) {
    m_painted = true;
    QPainter painter(this);
    const QRect client = contentsRect();
    painter.fillRect(client & event->rect(), palette().color(QPalette::Window));
    if (m_active && m_started) {
        if (!m_piece.isEmpty()) drawPiece(painter);
    } else if (!m_text.isEmpty()) {
        // Static: the shortest beginning of the text that reaches the client width.
        const QFontMetrics metrics(font());
        int length = 0;
        while (length < m_text.size() && metrics.horizontalAdvance(m_text.left(length)) < client.width()) ++length;
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QPoint(client.left(), client.top() + stripTop() + metrics.ascent()), m_text.left(length));
    }
    painter.end();
    // A tick repaints only the strip inside the border.
    if (!client.contains(event->rect())) QFrame::paintEvent(event);
}

} // namespace fairstake
