#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <memory>

class QWidget;

namespace fairstake {

// Puts one strip of a window straight on the screen from a picture the window
// system keeps, without the window's backing store: for a band redrawn fifty
// times a second, where the usual way (paint into the backing store, hand the
// whole strip to the display server and wait for it to be done with the
// memory before the next paint) costs more than the drawing itself.
//
// On X11 one copy request and one fill a frame, no reply awaited; on Wayland a
// subsurface as small as the strip, painted and committed alone.  On any other
// window system create() gives nothing and the widget paints as usual.
// Coordinates are the top-level window's device pixels.
class ScreenStrip {
public:
    virtual ~ScreenStrip() = default;

    // For the top-level window of widget, once it has a native window on an
    // X11 screen of a visual the pictures can be copied to; else nullptr.
    static std::unique_ptr<ScreenStrip> create(QWidget* widget);

    // Hands the picture to the display server (done again only when it changes).
    virtual void setPicture(const QImage& picture) = 0;
    // Fills area with the background, then copies the source part of the
    // picture to target, clipped to area; sent at once.
    virtual void show(const QRect& area, const QColor& background, const QRect& source, QPoint target) = 0;
};

} // namespace fairstake
