# `make package-windows`: a portable zip and an NSIS installer of the same four files. The
# installed copy cannot write under Program Files, so it keeps its files per user.
include(cmake/PackageVersion.cmake)

# Older Notepads read UTF-8 right only with a BOM, and show text without CR LF as one line.
string(ASCII 239 187 191 NR_BOM)
configure_file(res/win32/README.txt.in README.txt @ONLY NEWLINE_STYLE CRLF)

# Everything in the package's one folder: that folder is the program's portable home.
install(TARGETS NR-QD8K nr-serve nr-unit RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)

set(CPACK_GENERATOR "ZIP;NSIS")
set(CPACK_PACKAGE_NAME NR-QD8K)
set(CPACK_PACKAGE_VENDOR ${NR_PACKAGE_PUBLISHER})
set(CPACK_PACKAGE_VERSION ${NR_PACKAGE_VERSION})
set(CPACK_PACKAGE_FILE_NAME NR-QD8K-${NR_PACKAGE_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
# The installer's script is ours (cmake/nsis/NSIS.template.in); the file name, per generator.
list(APPEND CMAKE_MODULE_PATH ${CMAKE_SOURCE_DIR}/cmake/nsis)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/nsis/CPackNames.cmake)
set(CPACK_NSIS_MUI_ICON ${NR_ICO})
set(CPACK_NSIS_MUI_UNIICON ${NR_ICO})
include(CPack)

# Only the shipped programs, so a package never waits for the tests to build.
add_custom_target(package-windows
    COMMAND ${CMAKE_CPACK_COMMAND} --config CPackConfig.cmake
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    VERBATIM)
add_dependencies(package-windows NR-QD8K nr-serve nr-unit)
