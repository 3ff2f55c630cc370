# The desktop entry and AppStream metainfo installed with the program, and the
# Debian package `cpack -G DEB` builds from the install rules (tools/package).
if(FAIRSTAKE_ENGINE_ONLY)
  return()
endif()

# The desktop id; main.cpp gives the same name to QGuiApplication::setDesktopFileName.
set(FAIRSTAKE_APP_ID io.github.fairstake.Fairstake)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${FAIRSTAKE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${FAIRSTAKE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fairstake)
set(CPACK_PACKAGE_VENDOR "Fairstake developers")
set(CPACK_PACKAGE_CONTACT "Fairstake developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dutching calculator for horse racing")
# Control-file lines stay under 80 characters; the blank line parts paragraphs.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Fairstake works out the stakes for backing several runners of one race\n"
  "so that the same amount comes back whichever of them wins. Type each\n"
  "runner's odds as a whole number, a decimal or a fraction, choose the\n"
  "amount you want to win, and it shows every stake, the total to bet and\n"
  "the profit, and warns when no profit is possible. Stakes can be rounded\n"
  "to the betting unit of your country.\n"
  "\n"
  "It comes with hover help, a help file and a small browser window for\n"
  "racing newspapers' sites.")
# Stripped: the dev and release builds keep their symbols in the build tree.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Fairstake developers")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps; the fonts are what the window's
# fixed layout is measured in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
