# The window program's icon: the SVG for the scalable size and PNGs, drawn
# from it at build time, for the sizes that menus, panels and launchers ask
# the hicolor theme for.

find_program(RSVG_CONVERT rsvg-convert REQUIRED)

set(iconSvg ${PROJECT_SOURCE_DIR}/packaging/ombrew.svg)
set(iconPngs)
foreach(size 16 22 24 32 48 64 128 256)
    set(png ${PROJECT_BINARY_DIR}/icons/${size}/ombrew.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}
        COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${iconSvg}
        DEPENDS ${iconSvg}
        VERBATIM)
    list(APPEND iconPngs ${png})
    install(FILES ${png}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(desktop_icon ALL DEPENDS ${iconPngs})
install(FILES ${iconSvg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
