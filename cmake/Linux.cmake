# The Linux build: the window layer over Qt, POSIX and Linux calls below it, a Debian package.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
find_package(GTest REQUIRED)
include(GNUInstallDirs)
# Names the desktop entry, the AppStream metainfo and the themed icon.
set(NR_APP_ID jp.nr_qd8k.NR_QD8K)

set(NR_WINDOW_LIBRARIES Qt6::Widgets)
set(NR_WINDOW_TEST_LIBRARIES Qt6::Test)
set(NR_TEST_FRAMEWORK GTest::gtest GTest::gmock)
set(NR_PROGRAM_RESOURCES "")
set(NR_TEST_PATH_PREFIX "")
set(NR_TEST_DISCOVERY "")
set(NR_PACKAGE ${CMAKE_SOURCE_DIR}/cmake/Package.cmake)

# The window's icons, embedded as Qt resources; the package installs them too.
include(cmake/Icon.cmake)
function(nr_window_resources target)
    qt_add_resources(${target} nr_icons PREFIX /icons BASE ${NR_ICON_DIR} FILES ${NR_ICONS})
endfunction()
function(nr_window_program target)
endfunction()
function(nr_window_test_program target)
endfunction()
