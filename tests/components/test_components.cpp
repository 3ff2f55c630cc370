// The small widgets; the ticker's straight way to an X11 screen runs under its own Xvfb (test_screenstrip).

#include "components/artwork.h"
#include "components/balloonhint.h"
#include "components/glyphbutton.h"
#include "components/marquee.h"
#include "components/picturebox.h"
#include "components/radiogroup.h"
#include "components/screenstrip.h"

#include <QtTest>
#include <QtWidgets>

using namespace fairstake;

namespace {

// A framed ticker band in window, at its own pace (stepped by hand while the window is not shown).
Marquee* band(QWidget* window, const QString& text) {
    auto* m = new Marquee(window);
    m->setGeometry(10, 20, 240, 20);
    m->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m->setFont(QFont("Liberation Sans", 10));
    m->setText(text);
    return m;
}

// The bounding box of the pixels picked out of a grab, in widget pixels.
QRect inked(const QImage& image, bool (*pick)(QColor)) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pick(image.pixelColor(x, y)))
                box |= QRect(QPoint(x, y) / image.devicePixelRatio(), QSize(1, 1));
    return box;
}

} // namespace

class TestComponents : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // By code, mouse and arrow keys (wrapping, focus going along): clicked() once per change, the new mark
    // alone already set; -1 clears, out of range is ignored; held, the marks wait for the last release.
    void radioGroup() {
        RadioGroup g;
        g.setFont(QFont("Liberation Sans", 8));
        g.resize(681, 41);
        g.setItems({"1 horse", "2 horses", "3 horses", "4 horses", "5 horses", "6 horses", "7 horses",
                    "8 horses", "9  horses"});
        g.setColumns(9);
        auto marks = [&g] {
            QStringList out;
            for (int i = 0; i < g.count(); ++i)
                if (g.button(i)->isChecked()) out << QString::number(i);
            return out.join(u',');
        };
        QStringList seen; // "index:marks" for every clicked(), as its handler sees them
        connect(&g, &RadioGroup::clicked, [&] { seen << QString::number(g.itemIndex()) + ':' + marks(); });
        g.show();
        QApplication::setActiveWindow(&g);
        QVERIFY(QTest::qWaitForWindowActive(&g));
        for (int i : {0, 0, 4, -1, -1, 42, 8})
            g.setItemIndex(i);
        QTest::mouseClick(g.button(0), Qt::LeftButton);
        QTest::mouseClick(g.button(0), Qt::LeftButton); // the focus goes along
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Down, Qt::Key_Up})
            QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(seen.join(' '), "0:0 4:4 -1: 8:8 0:0 8:8 0:0 1:1 0:0");
        // Held twice: index and clicked() as usual, the marks only at the last release, not an unmatched one.
        g.holdCheckMarks();
        g.holdCheckMarks();
        g.setItemIndex(7);
        g.releaseCheckMarks();
        const QString held = marks();
        QTest::mouseClick(g.button(5), Qt::LeftButton); // a click marks its item, held or not
        g.releaseCheckMarks();
        g.releaseCheckMarks();
        g.setItemIndex(2);
        QCOMPARE(held + ' ' + marks(), "0 2");
        QCOMPARE(seen.mid(9).join(' '), "7:0 5:5 2:2");
        // Laid out in one row below the caption, the last item, the widest, with room for it.
        const QRect last = g.button(8)->geometry();
        QVERIFY(last.y() == g.button(0)->y() && g.button(8)->sizeHint().width() <= last.width());
    }

    // Control characters become blanks; in from the right edge a pixel a tick, the first character in view
    // always partly visible, then again from the right.  Shown, its own timer steps it each 20 ms, not while
    // disabled; minimized, the band waits where it was and goes on.
    void ticker() {
        QWidget window;
        Marquee* m = band(&window, "ab\t\n");
        m->activate();
        const QFontMetrics metrics(m->font());
        const int width = m->contentsRect().width();
        for (int tick = 1; tick < width + metrics.horizontalAdvance(m->text()); ++tick) {
            m->tick();
            const QString piece = m->pieceInView();
            QVERIFY(!piece.isEmpty() && m->scrollX() + metrics.horizontalAdvance(piece.front()) > 0);
        }
        m->tick();
        QVERIFY(m->scrollX() == width - 1 && m->nextIndex() == 2 && m->text() == u"ab  ");
        m->deactivate();
        // Painted: after ten ticks only ten pixels of the text have come in.
        m->setText(QString(30, u'W'));
        m->activate();
        for (int i = 0; i < 10; ++i) m->tick();
        const int coming =
            inked(m->grab(m->contentsRect()).toImage(), [](QColor c) { return qGray(c.rgb()) < 100; }).width();
        QVERIFY2(coming > 0 && coming <= 10, qPrintable(QString::number(coming)));
        QVERIFY(!m->isTimerRunning()); // nobody sees it yet
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(m->isTimerRunning());
        QCOMPARE(m->interval(), 20);
        window.showMinimized();
        QTRY_VERIFY(!m->isTimerRunning());
        const int paused = m->scrollX();
        window.showNormal();
        QTRY_VERIFY(m->isTimerRunning() && m->scrollX() != paused);
        QVERIFY2(m->scrollX() < paused && m->scrollX() >= paused - 3, // not from the right edge again
                 qPrintable(QStringLiteral("%1 after %2").arg(m->scrollX()).arg(paused)));

        m->setEnabled(false);
        QVERIFY(!m->isTimerRunning());
    }

    // Facing the screen's centre (the middle counts as upper left), the tip 20 pixels in from the side and 2
    // from the edge; wide an eighth of the screen, a quarter for texts over a quarter of it (breaks count 2).
    void balloonGeometry() {
        const std::tuple<QPoint, QRect, QPoint> places[] = {
            {{640, 512}, {0, 0, 1280, 1024}, {620, 510}},      // the middle
            {{641, 513}, {0, 0, 1280, 1024}, {461, 433}},      // just past it
            {{1300, 700}, {1280, 0, 1024, 768}, {1280, 620}}}; // on a second screen
        for (const auto& [tip, on, topLeft] : places)
            QCOMPARE(balloonPlacement(tip, QSize(200, 80), on), QRect(topLeft, QSize(200, 80)));
        const int widths[][3] = {{254, 1024, 128}, {255, 1024, 256}, {253, 1023, 127}, {254, 1023, 255}};
        for (const auto& [length, screenWidth, width] : widths)
            QCOMPARE(balloonMaxWidth(QString(length, 'a'), screenWidth), width);
        QCOMPARE(balloonMaxWidth(QString(200, 'a') + "\r\n" + QString(54, 'b'), 1024), 256);
        // A title before the first bar, else the program's (as the balloons below show).
        QCOMPARE(splitHint("Address|Type|ENTER", {}), std::pair(QString("Address"), QString("Type|ENTER")));
    }

    // In hint mode a balloon instead of the tool tip, once per control and hint, till either changes.
    void balloonForToolTips() {
        BalloonHint balloon;
        balloon.setApplicationTitle("Fairstake");
        balloon.setPicture(ArtworkPixmap(":/img/menu_home.png", 1.0));
        balloon.setHintMode(true);
        QWidget window, address(&window), other(&window), inner(&other);
        window.resize(500, 200);
        other.move(300, 100); // its balloon away from where the pointer was
        const QString hint = "Type here the address of the site you want to navigate to, then hit ENTER.";
        address.setToolTip(hint), other.setToolTip("Other|Second hint");
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto hintFor = [&](QWidget* widget) { // a request as the application sends it when the pointer rests
            QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(widget, &event);
            const QWidget* b = event.isAccepted() && balloon.isShowing() ? balloon.balloonWindow() : nullptr;
            return b ? b->accessibleName() + u'|' + b->accessibleDescription() : QString();
        };
        QCOMPARE(hintFor(&address), "Fairstake|" + hint);
        QVERIFY(!QToolTip::isVisible());
        // Drawn: a light body, nothing at the corners.
        const QImage image = balloon.balloonWindow()->grab().toImage();
        const QColor inside = image.pixelColor(image.rect().center());
        QVERIFY(image.pixelColor(0, 0).alpha() == 0 && inside.alpha() == 255 && qGray(inside.rgb()) > 180);
        // Closed, not again for the same control at once; gone when the pointer leaves (resting on it first).
        balloon.closeBalloon();
        QCOMPARE(hintFor(&address), QString());
        QTest::mouseMove(window.windowHandle(), QPoint(450, 180));
        QCOMPARE(hintFor(&inner), "Other|Second hint"); // a child without a hint asks its parent's
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&window, &leave);
        QTRY_VERIFY(!balloon.isShowing());
    }

    // Hot under the pointer (framed in the hot-track colour); the glyph moved while pressed.
    void glyphButton() {
        QWidget window;
        GlyphButton button(&window);
        button.setGeometry(48, 40, 105, 27);
        QPixmap glyph(16, 16);
        glyph.fill(Qt::black);
        button.setGlyph(glyph), button.setHotTrackColor(Qt::red);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto red = [](QColor c) { return c.red() > 200 && c.green() < 100; };
        auto ink = [&] { return inked(button.grab().toImage(), [](QColor c) { return c == Qt::black; }); };
        QTest::mouseMove(window.windowHandle(), QPoint(100, 50));
        QTRY_VERIFY(button.isHot());
        QCOMPARE(inked(button.grab().toImage(), red), button.rect());
        const QPoint rest = ink().topLeft();
        QCOMPARE(rest, QPoint((105 - 16) / 2, (27 - 16) / 2));
        button.setDown(true);
        QCOMPARE(ink().topLeft(), rest + QPoint(1, 1));
    }

    // Presses with any button, clicks released inside only; the picture at its size.
    void pictureBox() {
        PictureBox box;
        box.resize(190, 25);
        QPixmap hidpi(20, 20); // 10 x 10 on screen
        hidpi.fill(Qt::red), hidpi.setDevicePixelRatio(2.0);
        box.setPicture(hidpi);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QSignalSpy pressed(&box, &PictureBox::mousePressed), clicked(&box, &PictureBox::clicked);
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(92, 3));
        QTest::mouseClick(&box, Qt::RightButton, {}, QPoint(0, 24));
        QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(195, 10));
        QVERIFY(pressed.count() == 3 && clicked.count() == 1);
        QCOMPARE(inked(box.grab().toImage(), [](QColor c) { return c == Qt::red; }), QRect(0, 0, 10, 10));
    }

    // Read by the format in their name, the sharp drawing where the density asks for it; icons with both.
    void artwork() {
        auto Flat = [](const QImage& i) { return i.convertToFormat(QImage::Format_ARGB32_Premultiplied); };
        const QString refresh = ":/img/refresh.png", home = ":/img/menu_home.png", none = ":/img/missing.png";
        QCOMPARE(Flat(ArtworkPixmap(refresh, 1.0).toImage()), Flat(ReadArtwork(refresh)));
        const QImage two = ArtworkPixmap(refresh, 2.0).toImage();
        QVERIFY(two.devicePixelRatio() == 2.0 && Flat(two) == Flat(ReadArtwork(":/img/refresh@2x.png")));
        QVERIFY(ArtworkPixmap(none, 2.0).isNull() && ArtworkIcon(none).isNull());
        const QIcon icon = ArtworkIcon(home);
        const QImage one = ReadArtwork(home);
        QCOMPARE(icon.actualSize(QSize(64, 64)), one.size());
        QCOMPARE(Flat(icon.pixmap(one.size(), 1.0).toImage()), Flat(one));
        QCOMPARE(Flat(icon.pixmap(one.size(), 2.0).toImage()), Flat(ReadArtwork(":/img/menu_home@2x.png")));
    }

    // On the X11 screen, and again when the window system redraws the window, exactly Qt's own painting.
    void tickerOnScreenIsQtsOwnPainting() {
        if (QGuiApplication::platformName() != u"xcb") QSKIP("on an X11 screen only");
        QWidget window;
        Marquee* m = band(&window, "This ticker scrolls from right to left, one pixel a tick.  ");
        m->setInterval(1000000); // stepped by hand
        m->activate();
        window.show();
        for (int i = 0; i < 5; ++i) m->tick();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY2(ScreenStrip::create(m), "no straight way to this X11 screen");
        const QRect strip(m->mapTo(&window, m->contentsRect().topLeft()), m->contentsRect().size());
        auto rgb = [](const QPixmap& p) { return p.toImage().convertToFormat(QImage::Format_RGB32); };
        auto onScreen = [&] { return rgb(window.screen()->grabWindow(window.winId())).copy(strip); };
        QWidget cover(nullptr, Qt::X11BypassWindowManagerHint);
        cover.setGeometry(QRect(window.mapToGlobal(strip.topLeft()), strip.size()));
        cover.setStyleSheet("background: red");
        for (int ticks = 1; ticks <= 420; ++ticks) {
            m->tick();
            if (ticks % 60 != 0) continue;
            const QImage qt = rgb(m->grab(m->contentsRect()));
            QTRY_COMPARE(onScreen(), qt);
            // Covered by another window and uncovered: the X server asks for the strip again.
            cover.show();
            QVERIFY(QTest::qWaitForWindowExposed(&cover));
            cover.hide();
            QTRY_COMPARE(onScreen(), qt);
        }
        // Unmapped (as on another workspace), the band waits; mapped again, it goes on.
        m->setInterval(20);
        m->deactivate();
        m->activate();
        QTRY_VERIFY(m->isStarted());
        const QString id = QString::number(window.winId());
        QCOMPARE(QProcess::execute("xdotool", {"windowunmap", id}), 0);
        QTRY_VERIFY(!m->isTimerRunning());
        const int paused = m->scrollX();
        QCOMPARE(QProcess::execute("xdotool", {"windowmap", id}), 0);
        QTRY_VERIFY(m->isTimerRunning() && m->scrollX() < paused);
    }
};

QTEST_MAIN(TestComponents)
#include "test_components.moc"
