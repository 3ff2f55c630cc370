#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "components/picturebox.h"
#include "suites.h"

using fairstake::PictureBox;

class PictureBoxTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void mouseSignals() {
        QWidget window;
        window.resize(400, 400);
        PictureBox box(&window);
        box.setGeometry(112, 361, 190, 25);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy pressed(&box, &PictureBox::mousePressed);
        QSignalSpy clicked(&box, &PictureBox::clicked);
        QSignalSpy moved(&box, &PictureBox::mouseMoved);

        QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(92, 3));
        QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(92, 3));
        QTest::mouseClick(&box, Qt::RightButton, {}, QPoint(0, 24));
        QCOMPARE(pressed.count(), 2);
        QCOMPARE(pressed.at(0).at(0).toPoint(), QPoint(92, 3));
        QCOMPARE(pressed.at(0).at(1).value<Qt::MouseButton>(), Qt::LeftButton);
        QCOMPARE(pressed.at(1).at(0).toPoint(), QPoint(0, 24));
        QCOMPARE(pressed.at(1).at(1).value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(clicked.count(), 1);

        // Dragging off before letting go is no click.
        QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(195, 10));
        QCOMPARE(clicked.count(), 1);

        // Hovering without a button reports positions too.
        // Through the window, as the platform delivers real pointer motion.
        QTest::mouseMove(window.windowHandle(), box.mapTo(&window, QPoint(143, 9)));
        QTRY_VERIFY(!moved.isEmpty());
        QCOMPARE(moved.last().at(0).toPoint(), QPoint(143, 9));
    }

    void paintsAtNaturalSizeOrNotAtAll() {
        QWidget window;
        window.resize(60, 60);
        window.setAutoFillBackground(true);
        QPalette pal = window.palette();
        pal.setColor(QPalette::Window, Qt::green);
        window.setPalette(pal);

        // A 2x picture, 20 x 20 device pixels, is 10 x 10 on screen.
        QPixmap hidpi(20, 20);
        hidpi.fill(Qt::red);
        hidpi.setDevicePixelRatio(2.0);
        PictureBox withPicture(&window);
        withPicture.setGeometry(0, 0, 30, 30);
        withPicture.setPicture(hidpi);
        QCOMPARE(withPicture.sizeHint(), QSize(10, 10));

        PictureBox empty(&window);
        empty.setGeometry(30, 30, 30, 30);

        const QImage shot = window.grab().toImage();
        const qreal dpr = shot.devicePixelRatio();
        auto at = [&](int x, int y) { return shot.pixelColor(QPoint(x, y) * dpr); };
        QCOMPARE(at(1, 1), QColor(Qt::red));
        QCOMPARE(at(9, 9), QColor(Qt::red));
        QCOMPARE(at(11, 11), QColor(Qt::green));
        QCOMPARE(at(45, 45), QColor(Qt::green));
    }
};

std::unique_ptr<QObject> makePictureBoxTest() { return std::make_unique<PictureBoxTest>(); }

#include "test_picturebox.moc"
