# What the desktop knows of Trelmo: the icons, the two menu entries, the MIME
# type of schema files and the AppStream metadata. Included where the windows
# are built, since the windows embed the icon too.
#
# The icons are drawn once as SVG; rsvg-convert (Debian package librsvg2-bin)
# renders them at the usual sizes while building.
include(GNUInstallDirs)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)

set(icon_src ${PROJECT_SOURCE_DIR}/resources/icons)
set(icon_out ${CMAKE_BINARY_DIR}/icons)
set(icon_sizes 16 32 48 64 128 256)
set(icon_pngs "")
set(icon_qrc_files "")
foreach(icon trelmo:apps application-x-trelmo-schema:mimetypes)
  string(REPLACE ":" ";" icon ${icon})
  list(GET icon 0 name)
  list(GET icon 1 context)
  install(FILES ${icon_src}/${name}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/${context})
  foreach(size IN LISTS icon_sizes)
    set(png ${icon_out}/${size}x${size}/${name}.png)
    add_custom_command(
      OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_out}/${size}x${size}
      COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${icon_src}/${name}.svg
      DEPENDS ${icon_src}/${name}.svg
      VERBATIM)
    list(APPEND icon_pngs ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/${context})
    if(name STREQUAL "trelmo")
      string(APPEND icon_qrc_files "    <file alias=\"trelmo-${size}.png\">${size}x${size}/trelmo.png</file>\n")
    endif()
  endforeach()
endforeach()

# The program's icon at every size, embedded for the windows' title bars.
file(WRITE ${icon_out}/app.qrc.new
     "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/trelmo\">\n${icon_qrc_files}  </qresource>\n</RCC>\n")
file(COPY_FILE ${icon_out}/app.qrc.new ${icon_out}/app.qrc ONLY_IF_DIFFERENT)
qt_add_resources(app_icon_sources ${icon_out}/app.qrc OPTIONS ${TRELMO_RCC_OPTIONS})
add_custom_target(trelmo_icons ALL DEPENDS ${icon_pngs})

install(FILES ${PROJECT_SOURCE_DIR}/resources/example.trelmo.Trelmo.desktop
              ${PROJECT_SOURCE_DIR}/resources/example.trelmo.TrelmoEdit.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/trelmo-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME trelmo.xml)
configure_file(${PROJECT_SOURCE_DIR}/resources/example.trelmo.Trelmo.metainfo.xml
               ${CMAKE_BINARY_DIR}/example.trelmo.Trelmo.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/example.trelmo.Trelmo.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
