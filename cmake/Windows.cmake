# The Windows build: no Qt there. The program over the window layer's Win32 back end, the unit
# tools and the tests.
enable_language(RC)
target_compile_definitions(nrplatform PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE)
target_link_libraries(nrplatform PUBLIC ws2_32 iphlpapi version)

# The VERSIONINFO every executable carries, from the one project version. Executables list
# NR_WINDOWS_RESOURCES among their sources; more .rc files (icon, manifest) join the list.
configure_file(res/Version.rc.in ${CMAKE_BINARY_DIR}/Version.rc @ONLY)
set(NR_WINDOWS_RESOURCES ${CMAKE_BINARY_DIR}/Version.rc)

# Every executable in build/windows itself, ready to be run or packed together.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
add_subdirectory(tools)


# The window layer's Win32 back end (nrwindow) and the resources of a windowed program.
include(cmake/WindowLayerWin32.cmake)
target_link_libraries(nrwindow PUBLIC nrplatform)

# Everything but WinMain, the platform and the window layer: the executable and the tests share
# it, as nrcore does on Linux.
nr_glob_sources(NR_CORE_SOURCES src/*.cpp res/*.cpp)
list(FILTER NR_CORE_SOURCES EXCLUDE REGEX "src/(platform|ui/wnd|app/win32)/")
add_library(nrcore STATIC ${NR_CORE_SOURCES})
target_include_directories(nrcore PUBLIC src res)
target_link_libraries(nrcore PUBLIC nrwindow nrplatform)

add_executable(NR-QD8K src/app/win32/WinMain.cpp ${NR_WINDOWS_RESOURCES})
target_link_libraries(NR-QD8K PRIVATE nrcore)
nr_windows_gui(NR-QD8K)
include(cmake/PackageWindows.cmake)

enable_testing()
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The platform tests that hold on every system, and those of Windows' own rules.
nr_glob_sources(NR_PLATFORM_TEST_SOURCES tests/platform/*.cpp)
add_executable(nr-platform-tests ${NR_PLATFORM_TEST_SOURCES} ${NR_WINDOWS_RESOURCES})
target_include_directories(nr-platform-tests PRIVATE tests)
target_link_libraries(nr-platform-tests PRIVATE nrplatform nr-tools-common GTest::gtest_main)
target_compile_definitions(nr-platform-tests PRIVATE NR_PROJECT_VERSION="${PROJECT_VERSION}")
include(GoogleTest)
# Listed under ctest, in the Wine prefix it prepares, not at build time.
gtest_discover_tests(nr-platform-tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 60)
