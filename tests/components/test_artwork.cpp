#include "components/artwork.h"
#include "suites.h"

#include <QIcon>
#include <QTest>

using namespace fairstake;

namespace {

QImage Flat(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

class ArtworkTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
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

std::unique_ptr<QObject> makeArtworkTest() {
    return std::make_unique<ArtworkTest>();
}

#include "test_artwork.moc"
