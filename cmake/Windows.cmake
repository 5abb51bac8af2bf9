# The Windows build: no Qt there. The window layer over Win32, Windows Sockets below it, a zip
# and an installer. windows.h stays out of every header the program includes; where a source
# includes it, it brings neither min/max macros nor the rarely used APIs.
enable_language(RC)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE)
link_libraries(ws2_32 iphlpapi version)

set(NR_WINDOW_LIBRARIES user32 gdi32 comctl32 comdlg32 shell32 imm32)
set(NR_WINDOW_TEST_LIBRARIES "")
set(NR_PACKAGE ${CMAKE_SOURCE_DIR}/cmake/PackageWindows.cmake)
# The programs the tests start, as Windows names them under Wine.
set(NR_TEST_PATH_PREFIX "Z:")
# Listed under ctest, in the Wine prefix it prepares, not at build time.
set(NR_TEST_DISCOVERY DISCOVERY_MODE PRE_TEST)

# The VERSIONINFO every executable carries, from the one project version.
configure_file(res/Version.rc.in ${CMAKE_BINARY_DIR}/Version.rc @ONLY)
set(NR_PROGRAM_RESOURCES ${CMAKE_BINARY_DIR}/Version.rc)

# Every executable in build/windows itself, ready to be run or packed together.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set(NR_TEST_FRAMEWORK GTest::gtest GTest::gmock)

include(cmake/WindowsProgram.cmake)
