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

# Debian's documentation of the package: the copyright in the machine-readable
# format, the changelog and the manual page, compressed as Debian does (gzip -9n:
# no name, no time stamp, so the package builds the same every time).
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^fairstake \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog does not start with version ${PROJECT_VERSION}: ${changelog_head}")
endif()
set(debian_docs ${CMAKE_BINARY_DIR}/debian-docs)
foreach(doc changelog fairstake.1)
  add_custom_command(OUTPUT ${debian_docs}/${doc}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/${doc} ${debian_docs}/${doc}
    COMMAND gzip -9nf ${debian_docs}/${doc}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${doc}
    VERBATIM)
endforeach()
add_custom_target(fairstake_debian_docs ALL DEPENDS ${debian_docs}/changelog.gz ${debian_docs}/fairstake.1.gz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${debian_docs}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/fairstake)
install(FILES ${debian_docs}/fairstake.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fairstake)
set(CPACK_PACKAGE_VENDOR "Fairstake developers")
set(FAIRSTAKE_MAINTAINER "Fairstake developers <fairstake@example.org>")
set(CPACK_PACKAGE_CONTACT ${FAIRSTAKE_MAINTAINER})
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
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${FAIRSTAKE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps; the fonts are what the window's
# fixed layout is measured in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
# Qt's Wayland plugin: without it the program runs through XWayland on a Wayland desktop.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
