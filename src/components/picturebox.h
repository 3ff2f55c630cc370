#pragma once

#include <QPixmap>
#include <QPoint>
#include <QWidget>

namespace fairstake {

// A picture drawn at the top-left corner at its natural size (high-DPI pixmaps
// at their device-independent size), clipped by the widget, never stretched.
// Without a picture it paints nothing and serves as a hover and click area.
// Positions in the signals are in the widget's own pixels.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return m_picture; }

    QSize sizeHint() const override;

Q_SIGNALS:
    // Any mouse button going down.
    void mousePressed(QPoint pos, Qt::MouseButton button);
    // Left button pressed and released over the picture box.
    void clicked();
    // With or without a button held.
    void mouseMoved(QPoint pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture;
    bool m_leftDown = false;
};

} // namespace fairstake
