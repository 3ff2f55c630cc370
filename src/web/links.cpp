#include "web/links.h"

// The hosts come from the build as compile definitions of this file alone.
#ifndef FAIRSTAKE_MAKER_HOST
#error "FAIRSTAKE_MAKER_HOST is set by src/web/CMakeLists.txt"
#endif

namespace fairstake::web {

namespace {

QString Http(const char* host, const char* pathAndQuery = "") {
    return QStringLiteral("http://") + QString::fromUtf8(host) + QString::fromUtf8(pathAndQuery);
}

} // namespace

QString HomePageAddress() {
    return Http(FAIRSTAKE_MAKER_HOST);
}

QString LatestVersionAddress(const QString& version) {
    return Http(FAIRSTAKE_MAKER_HOST, "/latest.php?version=") + version;
}

QString RacetrackLinksAddress() {
    return Http(FAIRSTAKE_MAKER_HOST, "/horse-racing-links.php");
}

QString DrfAddress() {
    return Http(FAIRSTAKE_DRF_HOST);
}

QString RacingPostAddress() {
    return Http(FAIRSTAKE_RACINGPOST_HOST);
}

QString ParisTurfAddress() {
    return Http(FAIRSTAKE_PARISTURF_HOST);
}

QString SearchAddress() {
    return Http(FAIRSTAKE_SEARCH_HOST, "/search?q=online+horse+betting");
}

} // namespace fairstake::web
