# The Windows build: no Qt there. Until the window layer's Win32 back end is in, it builds the
# platform layer, its tests and the unit tools.
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


# The program's logic already compiles for Windows unchanged; it is linked into NR-QD8K.exe
# once the window layer's Win32 back end is in.
nr_glob_sources(NR_LOGIC_SOURCES src/server/*.cpp src/settings/*.cpp src/eventlog/*.cpp)
add_library(nrlogic OBJECT ${NR_LOGIC_SOURCES})
target_include_directories(nrlogic PRIVATE src res)
target_link_libraries(nrlogic PRIVATE nrplatform)

enable_testing()
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The platform tests that hold on every system, and those of Windows' own rules.
nr_glob_sources(NR_PLATFORM_TEST_SOURCES tests/platform/*.cpp)
add_executable(nr-platform-tests ${NR_PLATFORM_TEST_SOURCES} ${NR_WINDOWS_RESOURCES})
target_include_directories(nr-platform-tests PRIVATE tests)
target_link_libraries(nr-platform-tests PRIVATE nrplatform GTest::gtest_main)
target_compile_definitions(nr-platform-tests PRIVATE NR_PROJECT_VERSION="${PROJECT_VERSION}")
include(GoogleTest)
# Listed under ctest, in the Wine prefix it prepares, not at build time.
gtest_discover_tests(nr-platform-tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 60)
