// The link table: plain http to the host, with the fixed paths and the version
// text appended as it is.

#include "suites.h"
#include "web/links.h"

#include <QTest>
#include <QUrl>

using namespace fairstake::web;

namespace {

class LinksTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void addresses_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("expected");
        const QString maker = QStringLiteral("http://" FAIRSTAKE_MAKER_HOST);
        QTest::newRow("homepage") << HomePageAddress() << maker;
        QTest::newRow("latest") << LatestVersionAddress(QStringLiteral("020"))
                                << maker + "/latest.php?version=020";
        QTest::newRow("racetracks") << RacetrackLinksAddress() << maker + "/horse-racing-links.php";
        QTest::newRow("drf") << DrfAddress() << QStringLiteral("http://" FAIRSTAKE_DRF_HOST);
        QTest::newRow("racingpost") << RacingPostAddress()
                                    << QStringLiteral("http://" FAIRSTAKE_RACINGPOST_HOST);
        QTest::newRow("paristurf") << ParisTurfAddress()
                                   << QStringLiteral("http://" FAIRSTAKE_PARISTURF_HOST);
        QTest::newRow("search") << SearchAddress()
                                << QStringLiteral("http://" FAIRSTAKE_SEARCH_HOST
                                                  "/search?q=online+horse+betting");
    }
    void addresses() {
        QFETCH(QString, address);
        QFETCH(QString, expected);
        QCOMPARE(address, expected);
        const QUrl url(address, QUrl::StrictMode); // a whole address a browser takes as it is
        QVERIFY(url.isValid() && !url.host().isEmpty() && !address.contains(u' '));
    }
};

} // namespace

std::unique_ptr<QObject> makeLinksTest() {
    return std::make_unique<LinksTest>();
}

#include "test_links.moc"
