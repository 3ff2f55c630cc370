// The link table: plain http, the bare host for home pages, the fixed paths,
// and the version text appended as it is.

#include "suites.h"
#include "web/links.h"

#include <QTest>
#include <QUrl>

using namespace fairstake::web;

namespace {

const QString kMaker = QStringLiteral(FAIRSTAKE_MAKER_HOST);

class LinksTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void addresses_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("expected");
        QTest::newRow("homepage") << HomePageAddress() << QStringLiteral("http://") + kMaker;
        QTest::newRow("latestversion")
            << LatestVersionAddress(QStringLiteral("20"))
            << QStringLiteral("http://") + kMaker + QStringLiteral("/latest.php?version=20");
        QTest::newRow("imgracetracks")
            << RacetrackLinksAddress()
            << QStringLiteral("http://") + kMaker + QStringLiteral("/horse-racing-links.php");
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
        // Each is a whole address a browser takes as it is: a host, no blanks.
        const QUrl url(address, QUrl::StrictMode);
        QVERIFY(url.isValid());
        QCOMPARE(url.scheme(), QStringLiteral("http"));
        QVERIFY(!url.host().isEmpty());
        QVERIFY(!address.contains(u' '));
    }

    // With the hosts the program ships with, the newspapers are the real ones and
    // the maker stays under a reserved example domain.
    void shippedHosts() {
        if (QStringLiteral(FAIRSTAKE_DRF_HOST) != QStringLiteral("www.drf.com"))
            QSKIP("built with a distributor's hosts");
        QCOMPARE(DrfAddress(), QStringLiteral("http://www.drf.com"));
        QCOMPARE(RacingPostAddress(), QStringLiteral("http://www.racingpost.com"));
        QCOMPARE(ParisTurfAddress(), QStringLiteral("http://www.paris-turf.com"));
        QCOMPARE(SearchAddress(), QStringLiteral("http://www.google.com/search?q=online+horse+betting"));
        QVERIFY(QUrl(HomePageAddress()).host().endsWith(QStringLiteral(".example")));
    }

    // The version is the caller's text, not a number the table formats.
    void versionTextAsGiven() {
        QVERIFY(LatestVersionAddress(QStringLiteral("20")).endsWith(QStringLiteral("?version=20")));
        QVERIFY(LatestVersionAddress(QStringLiteral("020")).endsWith(QStringLiteral("?version=020")));
        QVERIFY(LatestVersionAddress({}).endsWith(QStringLiteral("?version=")));
    }
};

} // namespace

std::unique_ptr<QObject> makeLinksTest() {
    return std::make_unique<LinksTest>();
}

#include "test_links.moc"
