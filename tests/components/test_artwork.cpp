#include <QIcon>
#include <QTest>

#include "components/artwork.h"
#include "suites.h"

using namespace fairstake;

class ArtworkTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Pictures read by the format in their name, the sharp drawing where the
    // screen's density asks for it, and nothing for a name that is not there.
    void picturesAtEachDensity() {
        const QString refresh = QStringLiteral(":/img/refresh.png");
        const QImage plain = ReadArtwork(refresh);
        QVERIFY(!plain.isNull());
        const QImage sharp = ReadArtwork(QStringLiteral(":/img/refresh@2x.png"));
        QCOMPARE(sharp.size(), plain.size() * 2);
        QVERIFY(!ReadArtwork(QStringLiteral(":/img/background.jpg")).isNull());

        const QPixmap one = ArtworkPixmap(refresh, 1.0);
        QCOMPARE(one.devicePixelRatio(), 1.0);
        QCOMPARE(one.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), plain.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        const QPixmap two = ArtworkPixmap(refresh, 2.0);
        QCOMPARE(two.devicePixelRatio(), 2.0);
        QCOMPARE(two.deviceIndependentSize().toSize(), plain.size());
        QCOMPARE(two.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), sharp.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        // No sharp drawing of the window icon's sizes: the plain one, whatever the density.
        const QString icon = QStringLiteral(":/icons/hicolor/32x32/apps/fairstake.png");
        QCOMPARE(ArtworkPixmap(icon, 2.0).devicePixelRatio(), 1.0);
        QVERIFY(ArtworkPixmap(QStringLiteral(":/img/missing.png"), 2.0).isNull());
    }

    // A menu image: known to exist without being read, then both drawings.
    void iconsOfBothDrawings() {
        const QIcon icon = ArtworkIcon(QStringLiteral(":/img/menu_home.png"));
        QVERIFY(!icon.isNull());
        QVERIFY(ArtworkIcon(QStringLiteral(":/img/missing.png")).isNull());
        const QImage plain = ReadArtwork(QStringLiteral(":/img/menu_home.png"));
        QCOMPARE(icon.actualSize(QSize(64, 64)), plain.size());
        const QPixmap atOne = icon.pixmap(plain.size(), 1.0);
        QCOMPARE(atOne.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), plain.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        const QPixmap atTwo = icon.pixmap(plain.size(), 2.0);
        QCOMPARE(atTwo.size(), plain.size() * 2);
        QCOMPARE(atTwo.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 ReadArtwork(QStringLiteral(":/img/menu_home@2x.png")).convertToFormat(QImage::Format_ARGB32_Premultiplied));
        // Copies draw the same.
        const QIcon copy = icon;
        QCOMPARE(copy.pixmap(plain.size(), 1.0).toImage(), atOne.toImage());
    }
};

std::unique_ptr<QObject> makeArtworkTest() { return std::make_unique<ArtworkTest>(); }

#include "test_artwork.moc"
