# What makes an executable a windowed program with the icon and manifest.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(MAGICK_CONVERT convert REQUIRED)

# One .ico with every size, rendered from the one SVG.
set(NR_ICO_DIR ${CMAKE_BINARY_DIR}/ico)
set(NR_ICO ${NR_ICO_DIR}/NR-QD8K.ico)
set(NR_ICO_SVG ${CMAKE_SOURCE_DIR}/res/NR-QD8K.svg)
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

# The icon is in the executable's resources, not in the window layer's library.
function(nr_window_resources target)
endfunction()

# The icon and manifest alone: the tests' program opens the same windows, but stays a console
# program that ctest reads.
function(nr_window_test_program target)
    target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/res/win32/app.rc)
    set_property(SOURCE ${CMAKE_SOURCE_DIR}/res/win32/app.rc APPEND PROPERTY OBJECT_DEPENDS
        ${NR_ICO} ${CMAKE_SOURCE_DIR}/res/win32/app.manifest)
    target_include_directories(${target} PRIVATE ${NR_ICO_DIR} ${CMAKE_SOURCE_DIR}/res/win32)
    add_dependencies(${target} nr-ico)
endfunction()

function(nr_window_program target)
    nr_window_test_program(${target})
    target_link_options(${target} PRIVATE -mwindows)
endfunction()
