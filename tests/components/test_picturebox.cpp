#include "components/picturebox.h"
#include "suites.h"

#include <QSignalSpy>
#include <QTest>

using fairstake::PictureBox;

class PictureBoxTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Presses with their point and button; a click only when let go inside;
    // hovering reports positions; a picture drawn at its natural size.
    void pictureBox() {
        QWidget window;
        window.resize(400, 400);
        window.setAutoFillBackground(true);
        QPalette pal = window.palette();
        pal.setColor(QPalette::Window, Qt::green);
        window.setPalette(pal);
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
        QCOMPARE(clicked.count(), 1); // the right button does not click
        QTest::mouseMove(window.windowHandle(), box.mapTo(&window, QPoint(143, 9)));
        QTRY_VERIFY(!moved.isEmpty());
        QCOMPARE(moved.last().at(0).toPoint(), QPoint(143, 9));
        const QImage shot = box.grab().toImage();
        auto at = [&](int x, int y) { return shot.pixelColor(QPoint(x, y) * shot.devicePixelRatio()); };
        QVERIFY(at(1, 1) == QColor(Qt::red) && at(9, 9) == QColor(Qt::red) && at(11, 11) != QColor(Qt::red));
    }
};

std::unique_ptr<QObject> makePictureBoxTest() {
    return std::make_unique<PictureBoxTest>();
}

#include "test_picturebox.moc"
