#include "components/glyphbutton.h"
#include "suites.h"

#include <QSignalSpy>
#include <QTest>

using fairstake::GlyphButton;

namespace {

// The top-left corner of the glyph's black pixels in a grab, in widget pixels.
QPoint glyphCorner(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == Qt::black)
                return QPointF(QPoint(x, y) / image.devicePixelRatio()).toPoint();
    return QPoint(-1, -1);
}

} // namespace

class GlyphButtonTest : public QObject {
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
};

std::unique_ptr<QObject> makeGlyphButtonTest() {
    return std::make_unique<GlyphButtonTest>();
}

#include "test_glyphbutton.moc"
