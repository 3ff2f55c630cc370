// The small widgets: radio group, ticker, balloon hint, glyph button, picture box and artwork reader.

#include "components/artwork.h"
#include "components/balloonhint.h"
#include "components/glyphbutton.h"
#include "components/marquee.h"
#include "components/picturebox.h"
#include "components/radiogroup.h"

#include <QHelpEvent>
#include <QIcon>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

using namespace fairstake;

namespace {

QList<int> checkedItems(const RadioGroup& g) {
    QList<int> out;
    for (int i = 0; i < g.count(); ++i)
        if (g.button(i)->isChecked()) out.append(i);
    return out;
}

// Nine items in a shown window, recording for every clicked() the index and the marks its handler sees.
struct Group {
    QWidget window;
    RadioGroup g{&window};
    QList<int> indexes;
    QList<QList<int>> checks;
    Group() {
        QFont font("Liberation Sans");
        font.setPointSize(8);
        window.setFont(font);
        window.resize(800, 200);
        g.setGeometry(72, 48, 681, 41);
        g.setItems({"1 horse", "2 horses", "3 horses", "4 horses", "5 horses", "6 horses", "7 horses",
                    "8 horses", "9  horses"});
        g.setColumns(9);
        QObject::connect(&g, &RadioGroup::clicked, &g, [this] {
            indexes.append(g.itemIndex());
            checks.append(checkedItems(g));
        });
        window.show();
        QApplication::setActiveWindow(&window);
    }
};

std::unique_ptr<Marquee> band(const QString& text) {
    auto m = std::make_unique<Marquee>();
    m->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m->resize(120, 20);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(13);
    m->setFont(f);
    m->setText(text);
    return m;
}

// A tool tip request as the application sends it when the pointer rests.
bool requestToolTip(QWidget* widget, QPoint local = QPoint(5, 5)) {
    QHelpEvent event(QEvent::ToolTip, local, widget->mapToGlobal(local));
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

QString shownHint(const BalloonHint& b) {
    return b.balloonWindow()->accessibleName() + u'|' + b.balloonWindow()->accessibleDescription();
}

// The top-left corner of the glyph's black pixels in a grab, in widget pixels.
QPoint glyphCorner(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == Qt::black)
                return QPointF(QPoint(x, y) / image.devicePixelRatio()).toPoint();
    return QPoint(-1, -1);
}

QImage Flat(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

class TestComponents : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // By code, mouse and arrow keys (wrapping at both ends): clicked() once per change, the
    // handler already seeing the new mark alone; -1 clears, out of range is ignored.
    void radioSelection() {
        Group t;
        QVERIFY(QTest::qWaitForWindowActive(&t.window));
        QCOMPARE(t.g.itemIndex(), -1);
        for (int i : {0, 0, 4, -1, -1, 42, 8})
            t.g.setItemIndex(i);
        QTest::mouseClick(t.g.button(3), Qt::LeftButton);
        QTest::mouseClick(t.g.button(3), Qt::LeftButton);
        t.g.button(3)->setFocus();
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down})
            QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(t.indexes, (QList<int>{0, 4, -1, 8, 3, 4, 3, 2, 3}));
        QCOMPARE(t.checks, (QList<QList<int>>{{0}, {4}, {}, {8}, {3}, {4}, {3}, {2}, {3}}));
        QCOMPARE(QApplication::focusWidget(), t.g.button(3));
        t.g.button(0)->setFocus();
        QTest::keyClick(t.g.button(0), Qt::Key_Left);
        QCOMPARE(t.g.itemIndex(), 8);
    }

    // Held marks: the index and clicked() as usual, the marks untouched until the
    // last hold goes; a run that ends where it began toggles nothing.
    void radioHeldMarks() {
        Group t;
        t.g.setItemIndex(4);
        QSignalSpy toggles(t.g.button(4), &QRadioButton::toggled);
        t.g.holdCheckMarks();
        t.g.holdCheckMarks();
        t.g.setItemIndex(3);
        t.g.setItemIndex(4);
        t.g.releaseCheckMarks();
        t.g.releaseCheckMarks();
        QCOMPARE(toggles.count(), 0);
        QCOMPARE(t.checks, (QList<QList<int>>{{4}, {4}, {4}}));
        QList<QList<int>> marks;
        t.g.holdCheckMarks();
        t.g.holdCheckMarks();
        t.g.setItemIndex(7);
        for (int i = 0; i < 3; ++i) { // the third release is unmatched and changes nothing
            t.g.releaseCheckMarks();
            marks << checkedItems(t.g);
        }
        t.g.setItemIndex(2);
        QCOMPARE(marks << checkedItems(t.g), (QList<QList<int>>{{4}, {7}, {7}, {2}}));
    }

    // Columns first, then rows; every item with room for its caption, below the
    // caption line, and named after the group.
    void radioLayout() {
        Group nine;
        nine.g.setObjectName("Option1");
        for (int i = 0; i < 9; ++i) {
            QRadioButton* b = nine.g.button(i);
            QVERIFY(nine.g.contentsRect().contains(b->geometry()) && b->sizeHint().width() <= b->width());
            QVERIFY(b->y() == nine.g.button(0)->y() && b->y() >= nine.g.fontMetrics().height());
            QVERIFY(i == 0 || b->x() >= nine.g.button(i - 1)->geometry().right());
            QCOMPARE(b->objectName(), QStringLiteral("Option1_item%1").arg(i));
        }
        RadioGroup five;
        five.setItems({"a", "b", "c", "d", "e"});
        five.setColumns(2);
        five.setGeometry(0, 0, 200, 100);
        auto pos = [&](int i) { return five.button(i)->pos(); };
        QVERIFY(pos(1).x() == pos(0).x() && pos(2).x() == pos(0).x() && pos(1).y() > pos(0).y());
        QVERIFY(pos(3).x() > pos(0).x() && pos(3).y() == pos(0).y() && pos(4).y() == pos(1).y());
    }

    // Control characters become blanks.  In from the right edge one pixel a tick;
    // the first character in view always partly visible; once the whole text has
    // left, again from the right edge; deactivated it forgets where it was.
    void tickerScrolls() {
        QCOMPARE(band(QStringLiteral("a\tb\n"))->text(), QStringLiteral("a b "));
        auto m = band(QStringLiteral("ab  "));
        m->activate();
        QVERIFY(m->isTimerRunning() && m->interval() == 20);
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
    }

    // The timer runs only while active, enabled and with a text.
    void tickerTimer() {
        auto m = band(QString());
        m->activate();
        QList<bool> running{m->isActive(), m->isTimerRunning()};
        m->setText(QStringLiteral("x"));
        running << m->isTimerRunning();
        m->setEnabled(false);
        running << m->isTimerRunning();
        m->setEnabled(true);
        QCOMPARE(running << m->isTimerRunning(), (QList<bool>{true, false, true, false, true}));
    }

    // Inactive: the text's beginning across the band; active, after ten ticks, only the last ten pixels or
    // so.
    void tickerPaints() {
        auto m = band(QString(30, u'W'));
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
    }

    // The balloon faces the screen's centre (the exact middle counts as upper
    // left), its tip 20 pixels in from the side and 2 from the edge.
    void balloonPlacement_data() {
        QTest::addColumn<QPoint>("tip");
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QPoint>("topLeft");
        const QRect screen(0, 0, 1280, 1024);
        QTest::newRow("upper left") << QPoint(100, 100) << screen << QPoint(80, 98);
        QTest::newRow("lower right") << QPoint(1000, 900) << screen << QPoint(820, 820);
        QTest::newRow("middle") << QPoint(640, 512) << screen << QPoint(620, 510);
        QTest::newRow("past middle") << QPoint(641, 513) << screen << QPoint(461, 433);
        QTest::newRow("second screen") << QPoint(1300, 700) << QRect(1280, 0, 1024, 768) << QPoint(1280, 620);
    }
    void balloonPlacement() {
        QFETCH(QPoint, tip);
        QFETCH(QRect, screen);
        QFETCH(QPoint, topLeft);
        QCOMPARE(fairstake::balloonPlacement(tip, QSize(200, 80), screen), QRect(topLeft, QSize(200, 80)));
    }

    // An eighth of the screen wide, a quarter for texts longer than a quarter of
    // its width in characters (a line break counting two); remainders dropped.
    void balloonWidthAndSplit() {
        const std::tuple<QString, int, int> widths[] = {
            {QString(254, 'a'), 1024, 128},
            {QString(255, 'a'), 1024, 256},
            {QString(200, 'a') + "\r\n" + QString(54, 'b'), 1024, 256},
            {QString(253, 'a'), 1023, 127},
            {QString(254, 'a'), 1023, 255}};
        for (const auto& [text, screen, width] : widths)
            QCOMPARE(balloonMaxWidth(text, screen), width);
        using Split = std::pair<QString, QString>;
        QCOMPARE(splitHint("Address|Type|ENTER", "Fairstake"), Split("Address", "Type|ENTER"));
        QCOMPARE(splitHint("Type here", "Fairstake"), Split("Fairstake", "Type here"));
        QCOMPARE(splitHint("|only text", "Fairstake"), Split("", "only text"));
    }

    void balloonForToolTips() {
        BalloonHint balloon;
        balloon.setApplicationTitle("Fairstake");
        QPixmap picture(32, 32);
        picture.fill(Qt::darkGreen);
        balloon.setPicture(picture);
        balloon.setHintMode(true);
        QWidget window, twin(&window), other(&window), inner(&other);
        window.resize(500, 200);
        QLineEdit address(&window);
        address.setGeometry(192, 6, 241, 30);
        twin.setGeometry(192, 40, 100, 20);
        other.setGeometry(10, 100, 100, 50);
        inner.setGeometry(10, 10, 20, 20);
        const QString hint = "Type here the address of the site you want to navigate to, then hit ENTER.";
        address.setToolTip(hint);
        twin.setToolTip(hint); // moving between the two is no change of hint
        other.setToolTip("Other|Second hint");
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QVERIFY(requestToolTip(&address, QPoint(30, 12)));
        QWidget* shown = balloon.balloonWindow();
        QVERIFY(balloon.isShowing() && !QToolTip::isVisible());
        QCOMPARE(shownHint(balloon), "Fairstake|" + hint);
        const QRect screen = shown->screen()->geometry();
        QCOMPARE(shown->geometry(),
                 fairstake::balloonPlacement(address.mapToGlobal(QPoint(30, 12)), shown->size(), screen));
        QVERIFY(shown->width() <= screen.width() / 8 + 32 + 3 * 8 && shown->height() > 40);
        // Drawn: a light body, nothing at the corners.
        const QImage image = shown->grab().toImage();
        const QPoint inside = shown->rect().center() * image.devicePixelRatio();
        QVERIFY(qAlpha(image.pixel(0, 0)) == 0 && qAlpha(image.pixel(inside)) == 255 &&
                qGray(image.pixel(inside)) > 180);
        // One balloon at a time.
        QVERIFY(requestToolTip(&twin));
        QVERIFY(!balloon.showBalloon(&other, "Other|Second hint", QPoint(600, 600)));
        QCOMPARE(balloon.balloonWindow(), shown);
        // Closed, the same control does not get it again at once; a child without
        // a hint passes the request to its parent.
        balloon.closeBalloon();
        QTRY_VERIFY(!balloon.isShowing());
        requestToolTip(&address, QPoint(30, 12));
        QVERIFY(!balloon.isShowing());
        QVERIFY(requestToolTip(&inner, QPoint(2, 2)));
        QCOMPARE(shownHint(balloon), QStringLiteral("Other|Second hint"));
        // A change of the hint in force closes it, and so does the pointer leaving.
        other.setToolTip("Other|Changed");
        QTRY_VERIFY(!balloon.isShowing());
        requestToolTip(&address, QPoint(30, 12));
        QVERIFY(balloon.isShowing());
        QTest::mouseMove(window.windowHandle(), QPoint(450, 180));
        QTRY_VERIFY(!balloon.isShowing());
        // Out of hint mode, the standard tool tip is back.
        balloon.setHintMode(false);
        QVERIFY(requestToolTip(&address, QPoint(30, 12)) && !balloon.isShowing());
        QTRY_VERIFY(QToolTip::isVisible());
        QToolTip::hideText();
    }

    // Hot under the pointer (a frame in the hot-track colour), the glyph one pixel
    // down and right while pressed; with a caption the two are centred together.
    void glyphButton() {
        QWidget window;
        window.resize(300, 100);
        QPalette pal = window.palette();
        pal.setColor(QPalette::Window, Qt::white);
        window.setPalette(pal);
        GlyphButton button(&window);
        button.setGeometry(48, 40, 105, 27);
        QPixmap glyph(16, 16);
        glyph.fill(Qt::black);
        button.setGlyph(glyph);
        button.setHotTrackColor(Qt::red);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto edge = [&] {
            const QImage image = button.grab().toImage();
            return image.pixelColor(QPoint(50, 0) * image.devicePixelRatio());
        };
        QCOMPARE(edge(), QColor(Qt::white));
        QTest::mouseMove(window.windowHandle(), QPoint(100, 50));
        QTRY_VERIFY(button.isHot());
        QVERIFY2(edge().red() > 200 && edge().green() < 100, qPrintable(edge().name()));
        const QPoint rest = glyphCorner(button.grab().toImage());
        QCOMPARE(rest, QPoint((105 - 16) / 2, (27 - 16) / 2));
        button.setDown(true);
        QCOMPARE(glyphCorner(button.grab().toImage()), rest + QPoint(1, 1));
        button.setDown(false);
        QTest::mouseMove(window.windowHandle(), QPoint(280, 90));
        QTRY_VERIFY(!button.isHot());
        const QSize bare = button.sizeHint();
        button.setText("Visit:");
        QVERIFY(button.sizeHint().width() >= bare.width() + button.fontMetrics().horizontalAdvance("Visit:"));
        QVERIFY(glyphCorner(button.grab().toImage()).x() < rest.x());
    }

    // Presses with their point and button; a click only when let go inside with the
    // left button; hovering reports positions; a picture drawn at its natural size.
    void pictureBox() {
        QWidget window;
        window.resize(400, 400);
        PictureBox box(&window);
        box.setGeometry(112, 361, 190, 25);
        QPixmap hidpi(20, 20); // 10 x 10 on screen
        hidpi.fill(Qt::red);
        hidpi.setDevicePixelRatio(2.0);
        box.setPicture(hidpi);
        QCOMPARE(box.sizeHint(), QSize(10, 10));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy pressed(&box, &PictureBox::mousePressed), clicked(&box, &PictureBox::clicked),
            moved(&box, &PictureBox::mouseMoved);
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(92, 3));
        QTest::mouseClick(&box, Qt::RightButton, {}, QPoint(0, 24));
        QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(195, 10));
        QCOMPARE(pressed.count(), 3);
        QCOMPARE(pressed.at(1).at(0).toPoint(), QPoint(0, 24));
        QCOMPARE(pressed.at(1).at(1).value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(clicked.count(), 1);
        QTest::mouseMove(window.windowHandle(), box.mapTo(&window, QPoint(143, 9)));
        QTRY_VERIFY(!moved.isEmpty());
        QCOMPARE(moved.last().at(0).toPoint(), QPoint(143, 9));
        const QImage shot = box.grab().toImage();
        auto at = [&](int x, int y) { return shot.pixelColor(QPoint(x, y) * shot.devicePixelRatio()); };
        QVERIFY(at(1, 1) == QColor(Qt::red) && at(9, 9) == QColor(Qt::red) && at(11, 11) != QColor(Qt::red));
    }

    // Pictures by the format in their name, the sharp drawing where the density asks
    // for it (none for the window icon's sizes), nothing for a missing name; icons
    // with both drawings.
    void artwork() {
        const QString refresh = QStringLiteral(":/img/refresh.png"),
                      home = QStringLiteral(":/img/menu_home.png");
        const QImage plain = ReadArtwork(refresh),
                     sharp = ReadArtwork(QStringLiteral(":/img/refresh@2x.png"));
        QVERIFY(!plain.isNull() && !ReadArtwork(QStringLiteral(":/img/background.jpg")).isNull());
        QCOMPARE(sharp.size(), plain.size() * 2);
        QCOMPARE(Flat(ArtworkPixmap(refresh, 1.0).toImage()), Flat(plain));
        const QPixmap two = ArtworkPixmap(refresh, 2.0);
        QVERIFY(two.devicePixelRatio() == 2.0 && Flat(two.toImage()) == Flat(sharp));
        QCOMPARE(
            ArtworkPixmap(QStringLiteral(":/icons/hicolor/32x32/apps/fairstake.png"), 2.0).devicePixelRatio(),
            1.0);
        QVERIFY(ArtworkPixmap(QStringLiteral(":/img/missing.png"), 2.0).isNull());
        QVERIFY(ArtworkIcon(QStringLiteral(":/img/missing.png")).isNull());
        const QIcon icon = ArtworkIcon(home);
        const QImage one = ReadArtwork(home);
        QCOMPARE(icon.actualSize(QSize(64, 64)), one.size());
        QCOMPARE(Flat(icon.pixmap(one.size(), 1.0).toImage()), Flat(one));
        QCOMPARE(Flat(icon.pixmap(one.size(), 2.0).toImage()),
                 Flat(ReadArtwork(QStringLiteral(":/img/menu_home@2x.png"))));
    }
};

QTEST_MAIN(TestComponents)
#include "test_components.moc"
