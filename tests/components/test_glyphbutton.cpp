#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "components/glyphbutton.h"
#include "suites.h"

using fairstake::GlyphButton;

namespace {

// The top-left corner of the glyph's black pixels in a grab, in widget pixels.
QPoint glyphCorner(const QImage& image) {
    const qreal dpr = image.devicePixelRatio();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == Qt::black)
                return QPoint(qRound(x / dpr), qRound(y / dpr));
    return QPoint(-1, -1);
}

} // namespace

class GlyphButtonTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hotUnderThePointerAndClickable() {
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

        const QImage cold = button.grab().toImage();
        QVERIFY(!button.isHot());
        QTest::mouseMove(window.windowHandle(), QPoint(100, 50));
        QTRY_VERIFY(button.isHot());
        const QImage hot = button.grab().toImage();
        // The hot frame is drawn in the hot-track colour along the edge.
        const QColor edge = hot.pixelColor(QPoint(50, 0) * hot.devicePixelRatio());
        QVERIFY2(edge.red() > 200 && edge.green() < 100, qPrintable(edge.name()));
        QCOMPARE(cold.pixelColor(QPoint(50, 0) * cold.devicePixelRatio()), QColor(Qt::white));

        // Pressed, the glyph moves one pixel down and to the right.
        const QPoint rest = glyphCorner(hot);
        QCOMPARE(rest, QPoint((105 - 16) / 2, (27 - 16) / 2));
        button.setDown(true);
        QCOMPARE(glyphCorner(button.grab().toImage()), rest + QPoint(1, 1));
        button.setDown(false);

        QSignalSpy clicked(&button, &GlyphButton::clicked);
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(50, 13));
        QCOMPARE(clicked.count(), 1);
        button.setFocus();
        QTest::keyClick(&button, Qt::Key_Space);
        QCOMPARE(clicked.count(), 2);

        QTest::mouseMove(window.windowHandle(), QPoint(280, 90));
        QTRY_VERIFY(!button.isHot());
    }

    void captionBesideTheGlyph() {
        GlyphButton button;
        QPixmap glyph(20, 20);
        glyph.fill(Qt::black);
        button.setGlyph(glyph);
        const QSize bare = button.sizeHint();
        button.setText("Visit:");
        QVERIFY(button.sizeHint().width() >= bare.width() + button.fontMetrics().horizontalAdvance("Visit:"));
        button.resize(105, 35);
        // The glyph and its caption are centred together, so the glyph moves left.
        QVERIFY(glyphCorner(button.grab().toImage()).x() < (105 - 20) / 2);
    }
};

std::unique_ptr<QObject> makeGlyphButtonTest() { return std::make_unique<GlyphButtonTest>(); }

#include "test_glyphbutton.moc"
