# Installing Tesselo on a Linux desktop: the program, its desktop entry, the
# collage file type with its icon and thumbnailer, and the translations; and
# a Debian package of the same (`make deb`).
include(GNUInstallDirs)

set(TESSELO_DESKTOP_DIR "${PROJECT_SOURCE_DIR}/src/resources/desktop")

install(TARGETS tesselo RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(FILES "${TESSELO_DESKTOP_DIR}/com.quorvane.Tesselo.desktop"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${TESSELO_DESKTOP_DIR}/tesselo-mime.xml"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages" RENAME tesselo.xml)
install(FILES "${TESSELO_DESKTOP_DIR}/tesselo.thumbnailer"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/thumbnailers")
# Found by the program relative to itself: <prefix>/bin/../share/tesselo/qm.
install(DIRECTORY "${TESSELO_QM_DIR}/" DESTINATION "${CMAKE_INSTALL_DATADIR}/tesselo/qm"
    FILES_MATCHING PATTERN "*.qm")

# The program icon in the hicolor sizes, also standing for its documents,
# rendered from the same drawing as the icon inside the program.
set(TESSELO_ICON_SIZES 16 32 48 64 128 256 512)
set(TESSELO_ICON_DIR "${CMAKE_BINARY_DIR}/icons")
set(TESSELO_ICONS)
foreach(size ${TESSELO_ICON_SIZES})
    list(APPEND TESSELO_ICONS "${TESSELO_ICON_DIR}/tesselo-${size}.png")
endforeach()
add_executable(icon_renderer "${PROJECT_SOURCE_DIR}/tools/artwork/icon_renderer.cpp")
target_link_libraries(icon_renderer PRIVATE Qt6::Gui Qt6::Svg)
set(TESSELO_ICON_SVG "${PROJECT_SOURCE_DIR}/src/resources/artwork/tesselo-128.svg")
add_custom_command(OUTPUT ${TESSELO_ICONS}
    COMMAND icon_renderer "${TESSELO_ICON_SVG}" "${TESSELO_ICON_DIR}" tesselo ${TESSELO_ICON_SIZES}
    DEPENDS icon_renderer "${TESSELO_ICON_SVG}" VERBATIM)
add_custom_target(tesselo_icons ALL DEPENDS ${TESSELO_ICONS})

foreach(size ${TESSELO_ICON_SIZES})
    set(icon "${TESSELO_ICON_DIR}/tesselo-${size}.png")
    install(FILES "${icon}" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
        RENAME tesselo.png)
    install(FILES "${icon}"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/mimetypes"
        RENAME application-x-tesselo.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tesselo)
set(CPACK_PACKAGE_VENDOR Quorvane)
set(CPACK_PACKAGE_CONTACT "Quorvane <tesselo@quorvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Photo collage editor")
set(CPACK_PACKAGE_DESCRIPTION
    "Tesselo lays photos out as a collage by itself - a scattered pile of prints, \
a mosaic of cells or justified rows - and lets you tune shadows, frames, \
backgrounds, text and stickers before saving, exporting or printing.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Photos in WebP, TIFF and GIF are read through Qt's format plugins.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins, qt6-translations-l10n")
include(CPack)
