#pragma once
// The fixed addresses of the Internet menu and the racetracks picture.  The host
// names are chosen when the program is built (CMake cache variables
// FAIRSTAKE_MAKER_HOST, FAIRSTAKE_DRF_HOST, FAIRSTAKE_RACINGPOST_HOST,
// FAIRSTAKE_PARISTURF_HOST, FAIRSTAKE_SEARCH_HOST); the scheme is always plain
// http and the paths are fixed.

#include <QString>

namespace fairstake::web {

// The root of the maker's site: "http://" + maker host, nothing after it.
QString HomePageAddress();
// The maker's latest-version page with the program version text appended as is.
QString LatestVersionAddress(const QString& version);
QString RacetrackLinksAddress();
QString DrfAddress();
QString RacingPostAddress();
QString ParisTurfAddress();
// The search engine's result page for the words online horse betting.
QString SearchAddress();

} // namespace fairstake::web
