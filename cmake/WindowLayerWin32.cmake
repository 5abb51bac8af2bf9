# The window layer's Win32 back end, and what makes an executable a windowed program with the
# icon and manifest: the Windows build links nrwindow and calls nr_windows_gui on NR-QD8K.
enable_language(RC)
get_filename_component(NR_ROOT ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(MAGICK_CONVERT convert REQUIRED)

file(GLOB NR_WINDOW_SOURCES CONFIGURE_DEPENDS ${NR_ROOT}/src/ui/wnd/*.cpp ${NR_ROOT}/src/ui/wnd/win32/*.cpp)
add_library(nrwindow STATIC ${NR_WINDOW_SOURCES})
target_include_directories(nrwindow PUBLIC ${NR_ROOT}/src ${NR_ROOT}/res)
# windows.h stays out of every header the program includes; where a source includes it, it
# brings neither min/max macros nor the rarely used APIs.
target_compile_definitions(nrwindow PRIVATE NOMINMAX WIN32_LEAN_AND_MEAN)
target_link_libraries(nrwindow PUBLIC user32 gdi32 comctl32 comdlg32 shell32 imm32)

# One .ico with every size, rendered from the one SVG.
set(NR_ICO_DIR ${CMAKE_BINARY_DIR}/ico)
set(NR_ICO ${NR_ICO_DIR}/NR-QD8K.ico)
set(NR_ICO_SVG ${NR_ROOT}/res/NR-QD8K.svg)
set(NR_ICO_PNGS "")
set(NR_ICO_RENDER "")
foreach(size 16 24 32 48 64 128 256)
    set(png ${NR_ICO_DIR}/${size}.png)
    list(APPEND NR_ICO_PNGS ${png})
    list(APPEND NR_ICO_RENDER COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${NR_ICO_SVG})
endforeach()
add_custom_command(OUTPUT ${NR_ICO}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${NR_ICO_DIR}
    ${NR_ICO_RENDER}
    COMMAND ${MAGICK_CONVERT} ${NR_ICO_PNGS} ${NR_ICO}
    DEPENDS ${NR_ICO_SVG}
    VERBATIM)
add_custom_target(nr-ico DEPENDS ${NR_ICO})

# The icon and manifest alone: the tests' program opens the same windows, but stays a console
# program that ctest reads.
function(nr_windows_app_resources target)
    target_sources(${target} PRIVATE ${NR_ROOT}/res/win32/app.rc)
    set_property(SOURCE ${NR_ROOT}/res/win32/app.rc APPEND PROPERTY OBJECT_DEPENDS
        ${NR_ICO} ${NR_ROOT}/res/win32/app.manifest)
    target_include_directories(${target} PRIVATE ${NR_ICO_DIR} ${NR_ROOT}/res/win32)
    add_dependencies(${target} nr-ico)
endfunction()

function(nr_windows_gui target)
    nr_windows_app_resources(${target})
    target_link_options(${target} PRIVATE -mwindows)
endfunction()
