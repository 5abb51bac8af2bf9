# Every icon size is rendered from res/NR-QD8K.svg: the window embeds them and the package
# installs them into the hicolor theme beside the SVG itself.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)

set(NR_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(NR_ICON_SOURCE ${CMAKE_SOURCE_DIR}/res/NR-QD8K.svg)
set(NR_ICONS "")
foreach(size 16 24 32 48 64 128 256)
    set(icon ${NR_ICON_DIR}/${size}.png)
    add_custom_command(OUTPUT ${icon}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${NR_ICON_DIR}
        COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${icon} ${NR_ICON_SOURCE}
        DEPENDS ${NR_ICON_SOURCE}
        VERBATIM)
    list(APPEND NR_ICONS ${icon})
    install(FILES ${icon}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${NR_APP_ID}.png)
endforeach()
install(FILES ${NR_ICON_SOURCE}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    RENAME ${NR_APP_ID}.svg)
