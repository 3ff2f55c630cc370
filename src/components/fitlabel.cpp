#include "components/fitlabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace fairstake {

FitLabel::FitLabel(QWidget* parent) : QLabel(parent) {}

FitLabel::Fit FitLabel::fit() const {
    const QRectF room = contentsRect();
    const QFontMetricsF metrics(font());
    Fit f;
    f.text = text();
    qreal width = metrics.horizontalAdvance(f.text);
    if (width > room.width()) {
        // Scaled glyphs do not always take exactly the scaled advance: a pixel
        // of the room is kept free, so that the text never spills over.
        const qreal usable = room.width() - 1;
        if (width * kSmallestScale <= usable) {
            f.scale = usable / width;
        } else {
            f.scale = kSmallestScale;
            f.text = metrics.elidedText(f.text, Qt::ElideRight, usable / f.scale);
            width = metrics.horizontalAdvance(f.text);
        }
    }
    const QSizeF size(width * f.scale, metrics.height() * f.scale);
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    qreal x = room.left();
    if (align & Qt::AlignRight)
        x = room.right() + 1 - size.width();
    else if (align & Qt::AlignHCenter)
        x = room.left() + (room.width() - size.width()) / 2;
    qreal y = room.top() + (room.height() - size.height()) / 2;
    if (align & Qt::AlignTop)
        y = room.top();
    else if (align & Qt::AlignBottom)
        y = room.bottom() + 1 - size.height();
    f.rect = QRectF(QPointF(x, y), size);
    return f;
}

void FitLabel::paintEvent(QPaintEvent* event) {
    const Fit f = fit();
    if (f.scale == 1 && f.text == text()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    painter.translate(f.rect.topLeft());
    painter.scale(f.scale, f.scale);
    painter.drawText(QPointF(0, QFontMetricsF(font()).ascent()), f.text);
}

} // namespace fairstake
