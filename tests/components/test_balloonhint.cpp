#include "components/balloonhint.h"
#include "suites.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QToolTip>

using namespace fairstake;

namespace {

// A tool tip request as the application sends it when the pointer rests.
bool requestToolTip(QWidget* widget, QPoint local = QPoint(5, 5)) {
    QHelpEvent event(QEvent::ToolTip, local, widget->mapToGlobal(local));
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

} // namespace

class BalloonHintTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The balloon faces the screen's centre (the exact middle counts as upper
    // left), its tip 20 pixels in from the side and 2 from the edge.
    void placement_data() {
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
    void placement() {
        QFETCH(QPoint, tip);
        QFETCH(QRect, screen);
        QFETCH(QPoint, topLeft);
        QCOMPARE(balloonPlacement(tip, QSize(200, 80), screen), QRect(topLeft, QSize(200, 80)));
    }

    // An eighth of the screen wide, a quarter for texts longer than a quarter of
    // its width in characters (a line break counting two); remainders dropped.
    void widthAndSplit() {
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

    void toolTipsBecomeBalloons() {
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
        QCOMPARE(shown->accessibleName() + u'|' + shown->accessibleDescription(), "Fairstake|" + hint);
        const QRect screen = shown->screen()->geometry();
        QCOMPARE(shown->geometry(),
                 balloonPlacement(address.mapToGlobal(QPoint(30, 12)), shown->size(), screen));
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
        QCOMPARE(balloon.balloonWindow()->accessibleName() + u'|' +
                     balloon.balloonWindow()->accessibleDescription(),
                 QStringLiteral("Other|Second hint"));
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
};

std::unique_ptr<QObject> makeBalloonHintTest() {
    return std::make_unique<BalloonHintTest>();
}

#include "test_balloonhint.moc"
