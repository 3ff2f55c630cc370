#include "components/screenstrip.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#if FAIRSTAKE_HAVE_XCB
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>
#endif

namespace fairstake {

#if FAIRSTAKE_HAVE_XCB
namespace {

// The one pixel layout copied without conversion: 32-bit little-endian pixels
// of a 24- or 32-bit true-colour visual with red, green and blue in the
// positions of QImage::Format_RGB32.
bool copiesRgb32(xcb_connection_t* connection, xcb_window_t window, std::uint8_t& depth) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr);
    bool fits = false;
    if (geometry && attributes && (geometry->depth == 24 || geometry->depth == 32)) {
        depth = geometry->depth;
        for (xcb_format_iterator_t f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
            if (f.data->depth == depth && f.data->bits_per_pixel != 32) depth = 0;
        for (xcb_screen_iterator_t s = xcb_setup_roots_iterator(setup); s.rem && depth; xcb_screen_next(&s))
            for (xcb_depth_iterator_t d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d)) {
                if (d.data->depth != depth) continue;
                for (xcb_visualtype_iterator_t v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
                    if (v.data->visual_id == attributes->visual)
                        fits = v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR && v.data->red_mask == 0xFF0000 &&
                               v.data->green_mask == 0x00FF00 && v.data->blue_mask == 0x0000FF;
            }
    }
    std::free(geometry);
    std::free(attributes);
    return fits;
}

class X11Strip : public ScreenStrip {
public:
    X11Strip(xcb_connection_t* connection, xcb_window_t window, std::uint8_t depth)
        : connection_(connection), window_(window), depth_(depth), gc_(xcb_generate_id(connection)) {
        // No exposure events for copies: nothing would read them.
        const std::uint32_t values[] = {0};
        xcb_create_gc(connection_, gc_, window_, XCB_GC_GRAPHICS_EXPOSURES, values);
    }
    ~X11Strip() override {
        if (pixmap_) xcb_free_pixmap(connection_, pixmap_);
        xcb_free_gc(connection_, gc_);
        xcb_flush(connection_);
    }

    void setPicture(const QImage& picture) override {
        if (pixmap_) xcb_free_pixmap(connection_, pixmap_);
        pixmap_ = 0;
        const QImage image = picture.convertToFormat(QImage::Format_RGB32);
        if (image.isNull() || image.width() > 32767 || image.height() > 32767) return;
        pixmap_ = xcb_generate_id(connection_);
        xcb_create_pixmap(connection_, depth_, pixmap_, window_, std::uint16_t(image.width()), std::uint16_t(image.height()));
        // In bands of rows that fit one request.
        const std::size_t limit = std::size_t(xcb_get_maximum_request_length(connection_)) * 4 - 64;
        const std::size_t row = std::size_t(image.width()) * 4;
        const int rows = int(std::max<std::size_t>(1, limit / row));
        for (int top = 0; top < image.height(); top += rows) {
            const int height = std::min(rows, image.height() - top);
            std::vector<std::uint8_t> band(row * std::size_t(height));
            for (int y = 0; y < height; ++y)
                std::memcpy(band.data() + row * std::size_t(y), image.constScanLine(top + y), row);
            xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap_, gc_, std::uint16_t(image.width()),
                          std::uint16_t(height), 0, std::int16_t(top), 0, depth_, std::uint32_t(band.size()),
                          band.data());
        }
    }

    void show(const QRect& area, const QColor& background, const QRect& source, QPoint target) override {
        // A 32-bit visual has an alpha channel: the band is opaque.
        const std::uint32_t colour[] = {depth_ == 32 ? background.rgb() : background.rgb() & 0xFFFFFFu};
        if (colour[0] != foreground_) {
            xcb_change_gc(connection_, gc_, XCB_GC_FOREGROUND, colour);
            foreground_ = colour[0];
        }
        const QRect copy = QRect(target, source.size()) & area;
        // The background around the copy only: the copy covers the rest.
        xcb_rectangle_t fills[4];
        std::uint32_t count = 0;
        auto fill = [&](int x, int y, int w, int h) {
            if (w > 0 && h > 0) fills[count++] = {std::int16_t(x), std::int16_t(y), std::uint16_t(w), std::uint16_t(h)};
        };
        if (copy.isEmpty() || !pixmap_) {
            fill(area.x(), area.y(), area.width(), area.height());
        } else {
            fill(area.x(), area.y(), copy.left() - area.left(), area.height());
            fill(copy.right() + 1, area.y(), area.right() - copy.right(), area.height());
            fill(copy.x(), area.y(), copy.width(), copy.top() - area.top());
            fill(copy.x(), copy.bottom() + 1, copy.width(), area.bottom() - copy.bottom());
        }
        if (count != 0) xcb_poly_fill_rectangle(connection_, window_, gc_, count, fills);
        if (!copy.isEmpty() && pixmap_) {
            const QPoint from = source.topLeft() + (copy.topLeft() - target);
            xcb_copy_area(connection_, pixmap_, window_, gc_, std::int16_t(from.x()), std::int16_t(from.y()),
                          std::int16_t(copy.x()), std::int16_t(copy.y()), std::uint16_t(copy.width()),
                          std::uint16_t(copy.height()));
        }
        xcb_flush(connection_);
    }

private:
    xcb_connection_t* connection_;
    xcb_window_t window_;
    std::uint8_t depth_;
    xcb_gcontext_t gc_;
    xcb_pixmap_t pixmap_ = 0;
    std::uint32_t foreground_ = 0; // the GC's, as created
};

} // namespace
#endif

namespace {

// On Wayland a window's whole buffer goes to the compositor at every frame, and
// Qt copies the whole window into a fresh buffer whenever the compositor still
// holds the last one: fifty times the window a second for a one-line band.  The
// strip is a window of its own instead (a subsurface of the window, which the
// pointer passes through), with a buffer as small as the strip.
class WaylandStrip : public ScreenStrip {
public:
    explicit WaylandStrip(QWindow* parent) : window_(new QWindow(parent)) {
        window_->setSurfaceType(QSurface::RasterSurface);
        window_->setFlag(Qt::WindowTransparentForInput);
        store_ = std::make_unique<QBackingStore>(window_);
    }
    ~WaylandStrip() override {
        store_.reset();
        delete window_.data();
    }

    void setPicture(const QImage& picture) override { picture_ = picture; }

    void show(const QRect& area, const QColor& background, const QRect& source, QPoint target) override {
        if (!window_) return;
        const qreal ratio = window_->devicePixelRatio();
        const QRect place(QPointF(area.topLeft() / ratio).toPoint(), QSizeF(area.size() / ratio).toSize());
        if (window_->geometry() != place || store_->size() != place.size()) {
            window_->setGeometry(place);
            store_->resize(place.size());
        }
        if (!window_->isVisible()) window_->setVisible(true);
        if (!window_->isExposed()) return;
        const QRect all(QPoint(0, 0), place.size());
        store_->beginPaint(all);
        if (QPaintDevice* device = store_->paintDevice()) {
            QPainter painter(device);
            painter.fillRect(all, background);
            if (!source.isEmpty() && !picture_.isNull())
                painter.drawImage(QRectF(QPointF(target - area.topLeft()) / ratio, QSizeF(source.size()) / ratio),
                                  picture_, source);
        }
        store_->endPaint();
        store_->flush(all);
    }

private:
    // Owned here, but a child of the window it sits in, which may go first.
    QPointer<QWindow> window_;
    std::unique_ptr<QBackingStore> store_;
    QImage picture_;
};

} // namespace

std::unique_ptr<ScreenStrip> ScreenStrip::create(QWidget* widget) {
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        QWindow* parent = widget->window()->windowHandle();
        return parent ? std::make_unique<WaylandStrip>(parent) : nullptr;
    }
#if FAIRSTAKE_HAVE_XCB
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    QWidget* top = widget->window();
    if (!x11 || !top->testAttribute(Qt::WA_WState_Created) || !top->windowHandle()) return nullptr;
    xcb_connection_t* connection = x11->connection();
    const auto window = xcb_window_t(top->winId());
    std::uint8_t depth = 0;
    if (!connection || !copiesRgb32(connection, window, depth)) return nullptr;
    return std::make_unique<X11Strip>(connection, window, depth);
#else
    Q_UNUSED(widget);
    return nullptr;
#endif
}

} // namespace fairstake
