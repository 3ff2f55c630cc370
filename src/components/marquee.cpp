#include "components/marquee.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

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
    if (m_active) {
        m_started = false;
        updateTimer();
    }
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
    update();
}

void Marquee::updateTimer() {
    if (m_active && isEnabled() && !m_text.isEmpty())
        m_timer.start();
    else
        m_timer.stop();
}

void Marquee::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) updateTimer();
    QFrame::changeEvent(event);
}

int Marquee::lineHeight() const { return QFontMetrics(font()).height(); }

int Marquee::stripTop() const { return (contentsRect().height() - lineHeight()) / 2; }

void Marquee::initialise() {
    m_x = contentsRect().width();
    m_nextIndex = 1;
    m_piece.clear();
}

void Marquee::tick() {
    if (m_busy) return;
    m_busy = true;
    if (!m_started) {
        initialise();
        m_started = true;
    }
    const QFontMetrics metrics(font());
    const int clientWidth = contentsRect().width();
    const qreal ratio = devicePixelRatioF();
    const QSize stripSize(clientWidth, lineHeight());
    if (m_strip.isNull() || m_strip.deviceIndependentSize().toSize() != stripSize ||
        m_strip.devicePixelRatio() != ratio) {
        m_strip = QPixmap(stripSize * ratio);
        m_strip.setDevicePixelRatio(ratio);
    }

    for (int pass = 0; pass < 2; ++pass) {
        m_strip.fill(palette().color(QPalette::Window));
        m_x -= m_step;
        if (m_x < 0) {
            while (!m_piece.isEmpty()) {
                const int first = metrics.horizontalAdvance(m_piece.front());
                if (first + m_x > 0) break;
                m_x += first;
                m_piece.remove(0, 1);
            }
        }
        while (metrics.horizontalAdvance(m_piece) + m_x < clientWidth && m_nextIndex <= m_text.size()) {
            m_piece += m_text.at(m_nextIndex - 1);
            ++m_nextIndex;
        }
        // The whole text has left on the left: start again from the right edge, this tick.
        if (m_nextIndex > m_text.size() && m_piece.isEmpty() && pass == 0) {
            initialise();
            continue;
        }
        break;
    }

    QPainter painter(&m_strip);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QPoint(m_x, metrics.ascent()), m_piece);
    painter.end();
    // Only the strip changes; the rest of the band keeps its background.
    const QRect client = contentsRect();
    update(QRect(client.left(), client.top() + stripTop(), client.width(), lineHeight()) & client);
    m_busy = false;
}

void Marquee::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect client = contentsRect();
    painter.fillRect(client, palette().color(QPalette::Window));
    if (m_active && m_started && !m_strip.isNull()) {
        painter.drawPixmap(client.left(), client.top() + stripTop(), m_strip);
    } else if (!m_text.isEmpty()) {
        // Static: the shortest beginning of the text that reaches the client width.
        const QFontMetrics metrics(font());
        int length = 0;
        while (length < m_text.size() && metrics.horizontalAdvance(m_text.left(length)) < client.width()) ++length;
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QPoint(client.left(), client.top() + stripTop() + metrics.ascent()), m_text.left(length));
    }
    painter.end();
    QFrame::paintEvent(event); // the border
}

} // namespace fairstake
