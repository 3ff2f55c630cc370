#include "components/picturebox.h"

#include <QMouseEvent>
#include <QPainter>

namespace fairstake {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

void PictureBox::setPicture(const QPixmap& picture) {
    m_picture = picture;
    updateGeometry();
    update();
}

QSize PictureBox::sizeHint() const {
    if (m_picture.isNull())
        return QSize(0, 0);
    return m_picture.deviceIndependentSize().toSize();
}

void PictureBox::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_leftDown = true;
    Q_EMIT mousePressed(event->position().toPoint(), event->button());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const bool wasDown = m_leftDown;
    m_leftDown = false;
    if (wasDown && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) { Q_EMIT mouseMoved(event->position().toPoint()); }

} // namespace fairstake
