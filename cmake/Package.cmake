# `make package`: a Debian package that installs into /usr. The program keeps its files beside
# itself only where that folder can be written, so the same rules give a portable install with
# `cmake --install --prefix DIR` (then DIR/bin is its folder).

include(cmake/PackageVersion.cmake)

install(TARGETS NR-QD8K nr-serve nr-unit nr-load RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
configure_file(res/NR-QD8K.desktop.in ${NR_APP_ID}.desktop @ONLY)
configure_file(res/NR-QD8K.metainfo.xml.in ${NR_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${NR_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/${NR_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Debian wants a changelog entry for the packaged version; SOURCE_DATE_EPOCH fixes its date.
string(TIMESTAMP NR_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(cmake/debian/changelog.in changelog @ONLY)
execute_process(COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/changelog COMMAND_ERROR_IS_FATAL ANY)
install(FILES cmake/debian/copyright ${CMAKE_BINARY_DIR}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/nr-qd8k)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nr-qd8k)
set(CPACK_PACKAGE_VERSION ${NR_PACKAGE_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "signal server for LAN units with five digital inputs")
set(CPACK_PACKAGE_DESCRIPTION "NR-QD8K shows the five digital inputs of LAN units as lamps beside signal names
you choose and logs each report to a CSV file. Its texts are Japanese; its
settings and CSV files are CP932 with CR LF line ends, as the Windows version
writes them.

Also holds nr-serve, the same server without a window for a machine that only
serves, nr-unit, which sends one report as a unit does, and nr-load, which plays
many units at once.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${NR_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fcitx5-mozc | ibus-mozc")
include(CPack)

# Sanitizer builds make no package worth shipping.
if(NOT NR_SANITIZE)
    add_test(NAME Package.InstallsAndServesAsUser
        COMMAND ${CMAKE_SOURCE_DIR}/tests/package/package-test.sh
            ${CMAKE_BINARY_DIR} ${NR_PACKAGE_VERSION} ${NR_APP_ID})
    set_tests_properties(Package.InstallsAndServesAsUser PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()
