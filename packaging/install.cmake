# What an install puts beside the programs: the manual pages (with the version
# and the module's folder filled in), the README and the examples. The Debian
# packages (debian/) split these files between trelmo and trelmo-gui.
include(GNUInstallDirs)

set(trelmo_docdir ${CMAKE_INSTALL_DATADIR}/doc/trelmo)
set(TRELMO_WINDOW_FULL_LIBDIR ${CMAKE_INSTALL_PREFIX}/${TRELMO_WINDOW_LIBDIR})
set(TRELMO_FULL_DOCDIR ${CMAKE_INSTALL_PREFIX}/${trelmo_docdir})
set(man_pages trelmo.1)
if(TRELMO_BUILD_UI)
  list(APPEND man_pages trelmo-edit.1)
endif()
foreach(page IN LISTS man_pages)
  configure_file(${PROJECT_SOURCE_DIR}/docs/${page} ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/man/${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${trelmo_docdir})
install(FILES ${PROJECT_SOURCE_DIR}/examples/shops.csv ${PROJECT_SOURCE_DIR}/examples/shops.dsd
              ${PROJECT_SOURCE_DIR}/examples/members.csv ${PROJECT_SOURCE_DIR}/examples/members.dsd
        DESTINATION ${trelmo_docdir}/examples)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/orders DESTINATION ${trelmo_docdir}/examples)
