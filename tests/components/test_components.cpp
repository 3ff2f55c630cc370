// The small widgets: radio group, ticker, balloon hint, glyph button, picture box and artwork reader; the
// ticker's straight way to an X11 screen runs on the xcb platform under its own Xvfb (test_screenstrip).

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

// Nine items in a shown window; seen gets "index:marks" for every clicked(), as its handler sees them.
struct Group : RadioGroup {
    QStringList seen;
    QString marks() const {
        QStringList out;
        for (int i = 0; i < count(); ++i)
            if (button(i)->isChecked()) out << QString::number(i);
        return out.join(u',');
    }
    Group() {
        setFont(QFont("Liberation Sans", 8));
        resize(681, 41);
        setItems({"1 horse", "2 horses", "3 horses", "4 horses", "5 horses", "6 horses", "7 horses",
                  "8 horses", "9  horses"});
        setColumns(9);
        connect(this, &RadioGroup::clicked, this,
                [this] { seen << QString::number(itemIndex()) + ':' + marks(); });
        show();
        QApplication::setActiveWindow(this);
    }
};

std::unique_ptr<Marquee> band(const QString& text) {
    auto m = std::make_unique<Marquee>();
    m->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m->resize(120, 20);
    m->setFont(QFont("Liberation Sans", 10));
    m->setText(text);
    return m;
}

// A tool tip request as the application sends it when the pointer rests.
bool requestToolTip(QWidget* widget) {
    QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

// A pixel of what the widget shows, at widget coordinates.
QColor pixelAt(QWidget& widget, QPoint at) {
    const QImage image = widget.grab().toImage();
    return image.pixelColor(at * image.devicePixelRatio());
}

// The top-left corner of the glyph's black pixels, in widget pixels.
QPoint glyphCorner(QWidget& widget) {
    const QImage image = widget.grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == Qt::black)
                return (QPointF(x, y) / image.devicePixelRatio()).toPoint();
    return QPoint(-1, -1);
}

QImage Flat(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

class TestComponents : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // By code, mouse and arrow keys (wrapping, focus going along): clicked() once per change, the new mark
    // alone already set; -1 clears, out of range is ignored.  Held, the marks wait for the last release.
    void radioSelection() {
        Group g;
        QVERIFY(QTest::qWaitForWindowActive(&g));
        for (int i : {0, 0, 4, -1, -1, 42, 8})
            g.setItemIndex(i);
        QTest::mouseClick(g.button(3), Qt::LeftButton);
        QTest::mouseClick(g.button(3), Qt::LeftButton);
        g.button(3)->setFocus();
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Left,
                            Qt::Key_Left, Qt::Key_Left, Qt::Key_Right})
            QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(QApplication::focusWidget(), g.button(0));
        QCOMPARE(g.seen.join(' '), "0:0 4:4 -1: 8:8 3:3 4:4 3:3 2:2 3:3 2:2 1:1 0:0 8:8 0:0");
        // Two holds; a run ending where it began toggles nothing, and an unmatched release changes nothing.
        g.seen.clear();
        QSignalSpy toggles(g.button(0), &QRadioButton::toggled);
        QStringList marks;
        for (const QList<int>& run : {QList<int>{3, 0}, QList<int>{7}}) {
            QCOMPARE(toggles.count(), 0);
            g.holdCheckMarks();
            g.holdCheckMarks();
            for (int i : run)
                g.setItemIndex(i);
            for (int i = 0; i < 3; ++i) {
                g.releaseCheckMarks();
                marks << g.marks();
            }
        }
        g.setItemIndex(2);
        QCOMPARE((marks << g.marks()).join(' '), "0 0 0 0 7 7 2");
        QCOMPARE(g.seen.join(' '), "3:0 0:0 7:0 2:2");
    }

    // Columns first, then rows; every item below the caption line with room for its caption.
    void radioLayout() {
        Group nine;
        for (int i = 0; i < 9; ++i) {
            QRadioButton* b = nine.button(i);
            QVERIFY(nine.contentsRect().contains(b->geometry()) && b->sizeHint().width() <= b->width());
            QVERIFY(b->y() == nine.button(0)->y() && b->y() >= nine.fontMetrics().height());
            QVERIFY(i == 0 || b->x() >= nine.button(i - 1)->geometry().right());
        }
        RadioGroup five;
        five.setItems({"a", "b", "c", "d", "e"});
        five.setColumns(2);
        five.setGeometry(0, 0, 200, 100);
        auto pos = [&](int i) { return five.button(i)->pos(); };
        QVERIFY(pos(1).x() == pos(0).x() && pos(2).x() == pos(0).x() && pos(1).y() > pos(0).y());
        QVERIFY(pos(3).x() > pos(0).x() && pos(3).y() == pos(0).y() && pos(4).y() == pos(1).y());
    }

    // Control characters become blanks; in from the right edge a pixel a tick, the first character in view
    // always partly visible, then again from the right; deactivated it forgets where it was and shows the
    // text's beginning across the band.  The timer runs only while active, enabled and with a text.
    void ticker() {
        QCOMPARE(band("a\tb\n")->text(), QStringLiteral("a b "));
        auto m = band("ab  ");
        m->activate();
        const QFontMetrics metrics(m->font());
        const int width = m->contentsRect().width();
        for (int tick = 1; tick < width + metrics.horizontalAdvance(m->text()); ++tick) {
            m->tick();
            if (tick == 1) QVERIFY(m->scrollX() == width - 1 && m->pieceInView() == QStringLiteral("a"));
            QVERIFY2(!m->pieceInView().isEmpty(), qPrintable(QString::number(tick)));
            QVERIFY(m->scrollX() + metrics.horizontalAdvance(m->pieceInView().front()) > 0);
        }
        m->tick();
        QVERIFY(m->scrollX() == width - 1 && m->nextIndex() == 2);
        m->deactivate();
        QVERIFY(!m->isTimerRunning() && !m->isStarted());
        m->activate();
        m->tick();
        QCOMPARE(m->scrollX(), width - 1);
        // Painted: 30 W's across the band at rest, only the ten pixels come in after ten ticks.
        m->deactivate();
        m->setText(QString(30, u'W'));
        auto darkColumns = [&] {
            const QImage image = m->grab().toImage().convertToFormat(QImage::Format_RGB32);
            int dark = 0;
            for (int x = 2; x < image.width() - 2; ++x)
                for (int y = 2; y < image.height() - 2; ++y)
                    if (qGray(image.pixel(x, y)) < 100 && ++dark) break;
            return dark;
        };
        QVERIFY(darkColumns() > 90);
        m->activate();
        for (int i = 0; i < 10; ++i)
            m->tick();
        const int dark = darkColumns();
        QVERIFY2(dark > 0 && dark <= 10, qPrintable(QString::number(dark)));
        const std::pair<const char*, bool> states[] = {{"", true}, {"x", true}, {"x", false}, {"x", true}};
        for (const auto& [text, enabled] : states) {
            m->setText(text);
            m->setEnabled(enabled);
            QCOMPARE(m->isTimerRunning(), enabled && *text);
        }
    }

    // Facing the screen's centre (the exact middle counts as upper left), the tip 20 pixels in from the side
    // and 2 from the edge; an eighth of the screen wide, a quarter for texts over a quarter of its width in
    // characters (a line break counting two); a title before the first bar, else the program's.
    void balloonGeometry() {
        const QRect screen(0, 0, 1280, 1024);
        const std::tuple<QPoint, QRect, QPoint> places[] = {
            {{100, 100}, screen, {80, 98}},                    // upper left
            {{1000, 900}, screen, {820, 820}},                 // lower right
            {{640, 512}, screen, {620, 510}},                  // the middle
            {{641, 513}, screen, {461, 433}},                  // just past it
            {{1300, 700}, {1280, 0, 1024, 768}, {1280, 620}}}; // on a second screen
        for (const auto& [tip, on, topLeft] : places)
            QCOMPARE(balloonPlacement(tip, QSize(200, 80), on), QRect(topLeft, QSize(200, 80)));
        const int widths[][3] = {{254, 1024, 128}, {255, 1024, 256}, {253, 1023, 127}, {254, 1023, 255}};
        for (const auto& [length, screenWidth, width] : widths)
            QCOMPARE(balloonMaxWidth(QString(length, 'a'), screenWidth), width);
        QCOMPARE(balloonMaxWidth(QString(200, 'a') + "\r\n" + QString(54, 'b'), 1024), 256);
        using Split = std::pair<QString, QString>;
        QCOMPARE(splitHint("Address|Type|ENTER", "Fairstake"), Split("Address", "Type|ENTER"));
        QCOMPARE(splitHint("Type here", "Fairstake"), Split("Fairstake", "Type here"));
        QCOMPARE(splitHint("|only text", "Fairstake"), Split("", "only text"));
    }

    // In hint mode a tool tip request shows the balloon instead of the standard tool tip, once per control
    // and hint, until the hint changes or the pointer leaves.
    void balloonForToolTips() {
        BalloonHint balloon;
        balloon.setApplicationTitle("Fairstake");
        balloon.setPicture(ArtworkPixmap(":/img/menu_home.png", 1.0));
        balloon.setHintMode(true);
        QWidget window, address(&window), twin(&window), other(&window), inner(&other);
        window.resize(500, 200);
        const QString hint = "Type here the address of the site you want to navigate to, then hit ENTER.";
        address.setToolTip(hint);
        twin.setToolTip(hint); // moving between the two is no change of hint
        other.setToolTip("Other|Second hint");
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto shownHint = [&] {
            const QWidget* b = balloon.isShowing() ? balloon.balloonWindow() : nullptr;
            return b ? b->accessibleName() + u'|' + b->accessibleDescription() : QString();
        };
        QVERIFY(requestToolTip(&address) && !QToolTip::isVisible());
        QCOMPARE(shownHint(), "Fairstake|" + hint);
        QWidget* shown = balloon.balloonWindow();
        const QRect screen = shown->screen()->geometry();
        QCOMPARE(shown->geometry(),
                 balloonPlacement(address.mapToGlobal(QPoint(2, 2)), shown->size(), screen));
        QVERIFY(shown->width() <= screen.width() / 8 + 32 + 3 * 8 && shown->height() > 40);
        // Drawn: a light body, nothing at the corners.
        const QColor corner = pixelAt(*shown, QPoint(0, 0)), inside = pixelAt(*shown, shown->rect().center());
        QVERIFY(corner.alpha() == 0 && inside.alpha() == 255 && qGray(inside.rgb()) > 180);
        // One balloon at a time.
        QVERIFY(requestToolTip(&twin));
        QVERIFY(!balloon.showBalloon(&other, "Other|Second hint", QPoint(600, 600)));
        QCOMPARE(balloon.balloonWindow(), shown);
        // Closed, not again for the same control at once; a child without a hint asks its parent's.
        balloon.closeBalloon();
        QTRY_COMPARE(shownHint(), QString());
        requestToolTip(&address);
        QCOMPARE(shownHint(), QString());
        QVERIFY(requestToolTip(&inner));
        QCOMPARE(shownHint(), QStringLiteral("Other|Second hint"));
        // A change of the hint in force closes it, and so does the pointer leaving.
        other.setToolTip("Other|Changed");
        QTRY_COMPARE(shownHint(), QString());
        requestToolTip(&address);
        QCOMPARE(shownHint(), "Fairstake|" + hint);
        QTest::mouseMove(window.windowHandle(), QPoint(450, 180));
        QTRY_COMPARE(shownHint(), QString());
        // Out of hint mode, the standard tool tip is back.
        balloon.setHintMode(false);
        QVERIFY(requestToolTip(&address) && !balloon.isShowing());
        QTRY_VERIFY(QToolTip::isVisible());
        QToolTip::hideText();
    }

    // Hot under the pointer (a frame in the hot-track colour), the glyph a pixel down and right while
    // pressed; with a caption the two are centred together.
    void glyphButton() {
        QWidget window;
        window.resize(300, 100);
        window.setPalette(QPalette(Qt::white));
        GlyphButton button(&window);
        button.setGeometry(48, 40, 105, 27);
        QPixmap glyph(16, 16);
        glyph.fill(Qt::black);
        button.setGlyph(glyph);
        button.setHotTrackColor(Qt::red);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(pixelAt(button, QPoint(50, 0)), QColor(Qt::white));
        QTest::mouseMove(window.windowHandle(), QPoint(100, 50));
        QTRY_VERIFY(button.isHot());
        const QColor edge = pixelAt(button, QPoint(50, 0));
        QVERIFY2(edge.red() > 200 && edge.green() < 100, qPrintable(edge.name()));
        const QPoint rest = glyphCorner(button);
        QCOMPARE(rest, QPoint((105 - 16) / 2, (27 - 16) / 2));
        button.setDown(true);
        QCOMPARE(glyphCorner(button), rest + QPoint(1, 1));
        button.setDown(false);
        QTest::mouseMove(window.windowHandle(), QPoint(280, 90));
        QTRY_VERIFY(!button.isHot());
        const QSize bare = button.sizeHint();
        button.setText("Visit:");
        QVERIFY(button.sizeHint().width() >= bare.width() + button.fontMetrics().horizontalAdvance("Visit:"));
        QVERIFY(glyphCorner(button).x() < rest.x());
    }

    // Presses with point and button; a click only when the left button is let go inside; hovering reports
    // positions; a picture drawn at its natural size.
    void pictureBox() {
        PictureBox box;
        box.resize(190, 25);
        QPixmap hidpi(20, 20); // 10 x 10 on screen
        hidpi.fill(Qt::red);
        hidpi.setDevicePixelRatio(2.0);
        box.setPicture(hidpi);
        QCOMPARE(box.sizeHint(), QSize(10, 10));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QSignalSpy pressed(&box, &PictureBox::mousePressed), clicked(&box, &PictureBox::clicked),
            moved(&box, &PictureBox::mouseMoved);
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(92, 3));
        QTest::mouseClick(&box, Qt::RightButton, {}, QPoint(0, 24));
        QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(195, 10));
        QVERIFY(pressed.count() == 3 && clicked.count() == 1);
        QCOMPARE(pressed.at(1), (QVariantList{QPoint(0, 24), QVariant::fromValue(Qt::RightButton)}));
        QTest::mouseMove(box.windowHandle(), QPoint(143, 9));
        QTRY_VERIFY(!moved.isEmpty());
        QCOMPARE(moved.last().at(0).toPoint(), QPoint(143, 9));
        QVERIFY(pixelAt(box, {1, 1}) == Qt::red && pixelAt(box, {9, 9}) == Qt::red &&
                pixelAt(box, {11, 11}) != Qt::red);
    }

    // Pictures by the format in their name, the sharp drawing where the density asks for it (none for the
    // window icon's sizes), nothing for a missing name; icons with both drawings.
    void artwork() {
        const QString refresh = ":/img/refresh.png", home = ":/img/menu_home.png", none = ":/img/missing.png";
        const QImage plain = ReadArtwork(refresh), sharp = ReadArtwork(":/img/refresh@2x.png");
        QVERIFY(!plain.isNull() && !ReadArtwork(":/img/background.jpg").isNull());
        QCOMPARE(sharp.size(), plain.size() * 2);
        QCOMPARE(Flat(ArtworkPixmap(refresh, 1.0).toImage()), Flat(plain));
        const QPixmap two = ArtworkPixmap(refresh, 2.0);
        QVERIFY(two.devicePixelRatio() == 2.0 && Flat(two.toImage()) == Flat(sharp));
        QCOMPARE(ArtworkPixmap(":/icons/hicolor/32x32/apps/fairstake.png", 2.0).devicePixelRatio(), 1.0);
        QVERIFY(ArtworkPixmap(none, 2.0).isNull() && ArtworkIcon(none).isNull());
        const QIcon icon = ArtworkIcon(home);
        const QImage one = ReadArtwork(home);
        QCOMPARE(icon.actualSize(QSize(64, 64)), one.size());
        QCOMPARE(Flat(icon.pixmap(one.size(), 1.0).toImage()), Flat(one));
        QCOMPARE(Flat(icon.pixmap(one.size(), 2.0).toImage()), Flat(ReadArtwork(":/img/menu_home@2x.png")));
    }
    // Drawn straight on the X11 screen, the ticker shows exactly Qt's own painting of it and leaves the
    // window's backing store the same (for the window system's redraws): before the first paint (no backing
    // store yet), entering, filling the band, leaving and coming round again.
    void tickerOnScreenIsQtsOwnPainting() {
        if (QGuiApplication::platformName() != u"xcb") QSKIP("on an X11 screen only");
        QWidget window;
        window.resize(320, 60);
        auto* m = new Marquee(&window);
        m->setGeometry(10, 20, 240, 20);
        m->setFrameStyle(QFrame::Box | QFrame::Sunken);
        m->setText("This ticker scrolls from right to left, one pixel a tick.  ");
        m->setInterval(1000000); // stepped by hand
        m->activate();
        window.show();
        for (int i = 0; i < 5; ++i)
            m->tick();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY2(ScreenStrip::create(m), "no straight way to this X11 screen");
        const QRect band(m->mapTo(&window, m->contentsRect().topLeft()), m->contentsRect().size());
        auto rgb = [](const QPixmap& p) { return p.toImage().convertToFormat(QImage::Format_RGB32); };
        for (int ticks = 1; ticks <= 420; ++ticks) {
            m->tick();
            if (ticks % 60 != 0) continue;
            const QImage qt = rgb(m->grab(m->contentsRect()));
            auto onScreen = [&] {
                return rgb(window.screen()->grabWindow(window.winId(), band.x(), band.y(), band.width(),
                                                       band.height()));
            };
            QTRY_COMPARE(onScreen(), qt);
            window.backingStore()->flush(QRegion(band), window.windowHandle());
            QTRY_COMPARE(onScreen(), qt);
        }
    }
};

QTEST_MAIN(TestComponents)
#include "test_components.moc"
