#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QToolTip>

#include "components/balloonhint.h"
#include "suites.h"

using fairstake::balloonMaxWidth;
using fairstake::balloonPlacement;
using fairstake::BalloonHint;
using fairstake::splitHint;

namespace {

// A tool tip request as the application sends it when the pointer rests.
bool requestToolTip(QWidget* widget, QPoint local) {
    QHelpEvent event(QEvent::ToolTip, local, widget->mapToGlobal(local));
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

} // namespace

class BalloonHintTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void placementFacesTheScreenCentre() {
        const QRect screen(0, 0, 1280, 1024);
        const QSize size(200, 80);
        // Upper left quarter: below the pointer, extending to the right; the tip
        // lies 20 pixels in from the left edge and 2 below the top edge.
        QCOMPARE(balloonPlacement({100, 100}, size, screen), QRect(80, 98, 200, 80));
        // Lower right quarter: above, extending to the left.
        QCOMPARE(balloonPlacement({1000, 900}, size, screen), QRect(820, 820, 200, 80));
        // The exact middle counts as left (x at most half) and upper (y not greater).
        QCOMPARE(balloonPlacement({640, 512}, size, screen).topLeft(), QPoint(620, 510));
        QCOMPARE(balloonPlacement({641, 513}, size, screen).topLeft(), QPoint(461, 433));
        // A second screen to the right is judged by its own centre.
        const QRect second(1280, 0, 1024, 768);
        QCOMPARE(balloonPlacement({1300, 700}, size, second).topLeft(), QPoint(1280, 620));
    }

    void widthRuleCountsLineBreaks() {
        // 1024 wide: an eighth is 128 pixels, a quarter 256 pixels and 256 characters.
        QCOMPARE(balloonMaxWidth(QString(254, 'a'), 1024), 128);
        QCOMPARE(balloonMaxWidth(QString(255, 'a'), 1024), 256);
        // 200 + 54 characters in two lines count 202 + 56 = 258, more than 256.
        QCOMPARE(balloonMaxWidth(QString(200, 'a') + "\r\n" + QString(54, 'b'), 1024), 256);
        QCOMPARE(balloonMaxWidth(QString(100, 'a') + "\r\n" + QString(100, 'b'), 1024), 128);
        // Remainders are dropped: 1023 / 4 = 255 characters, 1023 / 8 = 127 pixels.
        QCOMPARE(balloonMaxWidth(QString(253, 'a'), 1023), 127);
        QCOMPARE(balloonMaxWidth(QString(254, 'a'), 1023), 255);
        QCOMPARE(balloonMaxWidth(QString(), 1024), 128);
    }

    void titleAndTextSplitAtTheFirstBar() {
        QCOMPARE(splitHint("Address|Type here|then ENTER", "Fairstake"),
                 (std::pair<QString, QString>("Address", "Type here|then ENTER")));
        QCOMPARE(splitHint("Type here the address", "Fairstake"),
                 (std::pair<QString, QString>("Fairstake", "Type here the address")));
        QCOMPARE(splitHint("|only text", "Fairstake"), (std::pair<QString, QString>("", "only text")));
    }

    void toolTipsBecomeBalloons() {
        BalloonHint balloon;
        balloon.setApplicationTitle("Fairstake");
        QPixmap picture(32, 32);
        picture.fill(Qt::darkGreen);
        balloon.setPicture(picture);
        balloon.setHintMode(true);

        QWidget window;
        window.resize(500, 200);
        QLineEdit address(&window);
        address.setGeometry(192, 6, 441 - 200, 30);
        const QString hint = "Type here the address of the site you want to navigate to, then hit ENTER to continue.";
        address.setToolTip(hint);
        // Two controls with one hint: moving between them is no change of hint.
        QWidget twin(&window);
        twin.setGeometry(192, 40, 100, 20);
        twin.setToolTip(hint);
        QWidget other(&window);
        other.setGeometry(10, 100, 100, 50);
        other.setToolTip("Other|Second hint");
        QWidget inner(&other);
        inner.setGeometry(10, 10, 20, 20);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QVERIFY(requestToolTip(&address, QPoint(30, 12)));
        QVERIFY(balloon.isShowing());
        QVERIFY(!QToolTip::isVisible());
        QWidget* shown = balloon.balloonWindow();
        QCOMPARE(shown->accessibleName(), QString("Fairstake"));
        QCOMPARE(shown->accessibleDescription(), hint);
        const QPoint tip = address.mapToGlobal(QPoint(30, 12));
        const QRect screen = shown->screen()->geometry();
        QCOMPARE(shown->geometry(), balloonPlacement(tip, shown->size(), screen));
        // A short hint on a wide screen wraps within an eighth of the screen width.
        QVERIFY(shown->width() <= screen.width() / 8 + 32 + 3 * 8);
        QVERIFY(shown->height() > 40);

        // The balloon is drawn: a light body around the tip, nothing at the corners.
        const QImage image = shown->grab().toImage();
        const qreal dpr = image.devicePixelRatio();
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        const QPoint inside = shown->rect().center() * dpr;
        QVERIFY(qAlpha(image.pixel(inside)) == 255 && qGray(image.pixel(inside)) > 180);

        // No second balloon while one shows, not even for another control.
        QVERIFY(requestToolTip(&twin, QPoint(5, 5)));
        QCOMPARE(balloon.balloonWindow(), shown);
        QVERIFY(!balloon.showBalloon(&other, "Other|Second hint", QPoint(600, 600)));
        QCOMPARE(balloon.balloonWindow(), shown);

        // Once closed, the same control does not get its balloon again at once.
        balloon.closeBalloon();
        QTRY_VERIFY(!balloon.isShowing());
        requestToolTip(&address, QPoint(30, 12));
        QVERIFY(!balloon.isShowing());

        // A control without a hint of its own passes the request to its parent,
        // whose title and text come from the bar-split hint.
        QVERIFY(requestToolTip(&inner, QPoint(2, 2)));
        QVERIFY(balloon.isShowing());
        QCOMPARE(balloon.balloonWindow()->accessibleName(), QString("Other"));
        QCOMPARE(balloon.balloonWindow()->accessibleDescription(), QString("Second hint"));

        // Changing the hint in force closes the balloon; the first control can
        // then show its balloon again.
        other.setToolTip("Other|Changed");
        QTRY_VERIFY(!balloon.isShowing());
        requestToolTip(&address, QPoint(30, 12));
        QVERIFY(balloon.isShowing());
        QVERIFY(!QToolTip::isVisible());

        // Moving the pointer to another control closes it as well.
        QTest::mouseMove(window.windowHandle(), QPoint(450, 180));
        QTRY_VERIFY(!balloon.isShowing());

        // Out of hint mode, the standard tool tip is back.
        balloon.setHintMode(false);
        QVERIFY(requestToolTip(&address, QPoint(30, 12)));
        QVERIFY(!balloon.isShowing());
        QTRY_VERIFY(QToolTip::isVisible());
        QToolTip::hideText();
    }
};

std::unique_ptr<QObject> makeBalloonHintTest() { return std::make_unique<BalloonHintTest>(); }

#include "test_balloonhint.moc"
