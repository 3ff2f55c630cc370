#include "components/glyphbutton.h"

#include <QEnterEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>

namespace fairstake {

namespace {
constexpr int kGap = 4;
}

GlyphButton::GlyphButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void GlyphButton::setGlyph(const QPixmap& glyph) {
    m_glyph = glyph;
    updateGeometry();
    update();
}

void GlyphButton::setHotTrackColor(const QColor& colour) {
    m_hotColour = colour;
    update();
}

QSize GlyphButton::sizeHint() const {
    const QSize glyph = m_glyph.deviceIndependentSize().toSize();
    const int textWidth = text().isEmpty() ? 0 : kGap + fontMetrics().horizontalAdvance(text());
    return QSize(glyph.width() + textWidth + 8, std::max(glyph.height(), fontMetrics().height()) + 6);
}

void GlyphButton::enterEvent(QEnterEvent* event) {
    m_hot = true;
    update();
    QAbstractButton::enterEvent(event);
}

void GlyphButton::leaveEvent(QEvent* event) {
    m_hot = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void GlyphButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (m_hot || isDown()) {
        QColor fill = m_hotColour;
        fill.setAlpha(isDown() ? 60 : 30);
        painter.setPen(QPen(m_hotColour, 1));
        painter.setBrush(fill);
        painter.drawRoundedRect(frame, 3, 3);
    }
    const QSize glyph = m_glyph.deviceIndependentSize().toSize();
    const int textWidth = text().isEmpty() ? 0 : kGap + fontMetrics().horizontalAdvance(text());
    QPoint at((width() - glyph.width() - textWidth) / 2, (height() - glyph.height()) / 2);
    if (isDown()) at += QPoint(1, 1);
    if (!isEnabled()) painter.setOpacity(0.4);
    painter.drawPixmap(at, m_glyph);
    if (!text().isEmpty()) {
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(QRect(at.x() + glyph.width() + kGap, 0, textWidth, height()), Qt::AlignVCenter, text());
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace fairstake
