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

# One test program, as on Linux: the tests of behaviour written once, those of Windows' own
# rules in win32/ folders, the window driven through support/win32/Operator.cpp. The programs
# it starts are named as Windows names them under Wine.
nr_glob_sources(NR_TEST_SOURCES tests/*.cpp)
list(FILTER NR_TEST_SOURCES EXCLUDE REGEX "tests/fuzz/")
add_executable(nr-tests ${NR_TEST_SOURCES} ${NR_WINDOWS_RESOURCES})
target_include_directories(nr-tests PRIVATE tests)
target_link_libraries(nr-tests PRIVATE nrcore GTest::gtest GTest::gmock)
target_compile_definitions(nr-tests PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX
    NR_LOAD_PATH="Z:$<TARGET_FILE:nr-load>")
add_dependencies(nr-tests nr-load)
nr_windows_app_resources(nr-tests)
include(GoogleTest)
# Listed under ctest, in the Wine prefix it prepares, not at build time.
gtest_discover_tests(nr-tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120)
