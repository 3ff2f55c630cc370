// The ticker drawn straight on an X11 screen shows exactly what Qt's own
// painting of it shows, and leaves the window's backing store the same, so a
// redraw of the window by the window system shows the current frame too.
// Runs on the xcb platform under its own Xvfb.

#include "components/marquee.h"
#include "components/screenstrip.h"

#include <QApplication>
#include <QBackingStore>
#include <QScreen>
#include <QTest>

using fairstake::Marquee;

class ScreenStripTest : public QObject {
    Q_OBJECT

    static QImage onScreen(QWidget& window, const QRect& area) {
        const QPixmap shot =
            window.screen()->grabWindow(window.winId(), area.x(), area.y(), area.width(), area.height());
        return shot.toImage().convertToFormat(QImage::Format_RGB32);
    }

    static Marquee* band(QWidget& window) {
        window.resize(320, 60);
        auto* m = new Marquee(&window);
        m->setGeometry(10, 20, 240, 20);
        m->setFrameStyle(QFrame::Box | QFrame::Sunken);
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(13);
        m->setFont(f);
        QPalette p = m->palette();
        p.setColor(QPalette::Window, QColor(0xC0C0C0));
        p.setColor(QPalette::WindowText, Qt::black);
        m->setPalette(p);
        m->setText(QStringLiteral("This ticker scrolls from right to left, one pixel a tick.  "));
        m->setInterval(1000000); // stepped by hand
        return m;
    }

private Q_SLOTS:
    // A slow start: the first ticks come before the window has been painted (its
    // backing store is not ready yet).  Then, entering, filling the band, leaving
    // on the left and coming round again, the screen shows Qt's own painting, and
    // so does a flush of the backing store, as the window system would show it.
    void tickerOnScreenIsQtsOwnPainting() {
        QWidget window;
        Marquee* m = band(window);
        m->activate();
        window.show();
        for (int i = 0; i < 5; ++i)
            m->tick();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY2(fairstake::ScreenStrip::create(m), "no straight way to this X11 screen");
        const QRect band(m->mapTo(&window, m->contentsRect().topLeft()), m->contentsRect().size());
        for (int ticks = 1; ticks <= 420; ++ticks) {
            m->tick();
            if (ticks % 60 != 0) continue;
            const QImage qt = m->grab(m->contentsRect()).toImage().convertToFormat(QImage::Format_RGB32);
            QTRY_COMPARE(onScreen(window, band), qt);
            window.backingStore()->flush(QRegion(band), window.windowHandle());
            QTRY_COMPARE(onScreen(window, band), qt);
        }
    }
};

QTEST_MAIN(ScreenStripTest)
#include "test_screenstrip.moc"
