// The small widgets: the glyph button, the picture box and the artwork reader.

#include "components/artwork.h"
#include "components/glyphbutton.h"
#include "components/picturebox.h"
#include "suites.h"

#include <QIcon>
#include <QSignalSpy>
#include <QTest>

using namespace fairstake;

namespace {

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

class WidgetsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Hot under the pointer (a frame in the hot-track colour), the glyph one
    // pixel down and right while pressed, clicked by mouse and space bar; with a
    // caption the two are centred together.
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
        QSignalSpy clicked(&button, &GlyphButton::clicked);
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(50, 13));
        button.setFocus();
        QTest::keyClick(&button, Qt::Key_Space);
        QCOMPARE(clicked.count(), 2);
        QTest::mouseMove(window.windowHandle(), QPoint(280, 90));
        QTRY_VERIFY(!button.isHot());
        const QSize bare = button.sizeHint();
        button.setText("Visit:");
        QVERIFY(button.sizeHint().width() >= bare.width() + button.fontMetrics().horizontalAdvance("Visit:"));
        QVERIFY(glyphCorner(button.grab().toImage()).x() < rest.x());
    }

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

    // Pictures by the format in their name, the sharp drawing where the density
    // asks for it (none for the window icon's sizes), nothing for a missing name;
    // icons with both drawings.
    void artwork() {
        const QString refresh = QStringLiteral(":/img/refresh.png");
        const QImage plain = ReadArtwork(refresh),
                     sharp = ReadArtwork(QStringLiteral(":/img/refresh@2x.png"));
        QVERIFY(!plain.isNull() && !ReadArtwork(QStringLiteral(":/img/background.jpg")).isNull());
        QCOMPARE(sharp.size(), plain.size() * 2);
        QCOMPARE(Flat(ArtworkPixmap(refresh, 1.0).toImage()), Flat(plain));
        const QPixmap two = ArtworkPixmap(refresh, 2.0);
        QCOMPARE(two.devicePixelRatio(), 2.0);
        QCOMPARE(Flat(two.toImage()), Flat(sharp));
        QCOMPARE(
            ArtworkPixmap(QStringLiteral(":/icons/hicolor/32x32/apps/fairstake.png"), 2.0).devicePixelRatio(),
            1.0);
        QVERIFY(ArtworkPixmap(QStringLiteral(":/img/missing.png"), 2.0).isNull());
        QVERIFY(ArtworkIcon(QStringLiteral(":/img/missing.png")).isNull());
        const QIcon icon = ArtworkIcon(QStringLiteral(":/img/menu_home.png"));
        const QImage home = ReadArtwork(QStringLiteral(":/img/menu_home.png"));
        QCOMPARE(icon.actualSize(QSize(64, 64)), home.size());
        QCOMPARE(Flat(icon.pixmap(home.size(), 1.0).toImage()), Flat(home));
        QCOMPARE(Flat(icon.pixmap(home.size(), 2.0).toImage()),
                 Flat(ReadArtwork(QStringLiteral(":/img/menu_home@2x.png"))));
    }
};

std::unique_ptr<QObject> makeWidgetsTest() {
    return std::make_unique<WidgetsTest>();
}

#include "test_widgets.moc"
