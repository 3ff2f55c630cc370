// The ticker drawn straight on an X11 screen shows exactly Qt's own painting of
// it and leaves the window's backing store the same, so a redraw by the window
// system shows the current frame too.  Runs on the xcb platform under its own Xvfb.

#include "components/marquee.h"
#include "components/screenstrip.h"

#include <QApplication>
#include <QBackingStore>
#include <QScreen>
#include <QTest>

class ScreenStripTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The first ticks come before the window has been painted (its backing store
    // is not ready yet); then entering, filling the band, leaving and coming round again.
    void tickerOnScreenIsQtsOwnPainting() {
        QWidget window;
        window.resize(320, 60);
        auto* m = new fairstake::Marquee(&window);
        m->setGeometry(10, 20, 240, 20);
        m->setFrameStyle(QFrame::Box | QFrame::Sunken);
        m->setText(QStringLiteral("This ticker scrolls from right to left, one pixel a tick.  "));
        m->setInterval(1000000); // stepped by hand
        m->activate();
        window.show();
        for (int i = 0; i < 5; ++i)
            m->tick();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY2(fairstake::ScreenStrip::create(m), "no straight way to this X11 screen");
        const QRect band(m->mapTo(&window, m->contentsRect().topLeft()), m->contentsRect().size());
        auto onScreen = [&] {
            return window.screen()
                ->grabWindow(window.winId(), band.x(), band.y(), band.width(), band.height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        };
        for (int ticks = 1; ticks <= 420; ++ticks) {
            m->tick();
            if (ticks % 60 != 0) continue;
            const QImage qt = m->grab(m->contentsRect()).toImage().convertToFormat(QImage::Format_RGB32);
            QTRY_COMPARE(onScreen(), qt);
            window.backingStore()->flush(QRegion(band), window.windowHandle());
            QTRY_COMPARE(onScreen(), qt);
        }
    }
};

QTEST_MAIN(ScreenStripTest)
#include "test_screenstrip.moc"
