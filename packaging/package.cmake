# The Debian package. In a build tree, `cpack -G DEB` (or the `package` target)
# writes trelmo_<version>_<arch>.deb: the programs, their desktop entries,
# icons, MIME type and AppStream metadata (resources/desktop.cmake), the manual
# pages, the README and the examples, and Debian's copyright and changelog
# files.
include(GNUInstallDirs)

set(trelmo_docdir ${CMAKE_INSTALL_DATADIR}/doc/trelmo)
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)

# The manual pages and the changelog, compressed as Debian wants them (-n: no
# name or time stamp inside, so the same sources give the same bytes).
set(compressed "")
set(man_pages trelmo.1)
if(TRELMO_BUILD_UI)
  list(APPEND man_pages trelmo-edit.1)
endif()
foreach(page IN LISTS man_pages)
  configure_file(${PROJECT_SOURCE_DIR}/docs/${page} ${packaging_out}/${page} @ONLY)
  install(FILES ${packaging_out}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${packaging_out}/changelog @ONLY)
find_program(GZIP_EXECUTABLE gzip REQUIRED)
foreach(file IN LISTS man_pages ITEMS changelog)
  add_custom_command(
    OUTPUT ${packaging_out}/${file}.gz
    COMMAND ${GZIP_EXECUTABLE} -9nkf ${file}
    WORKING_DIRECTORY ${packaging_out}
    DEPENDS ${packaging_out}/${file})
  list(APPEND compressed ${packaging_out}/${file}.gz)
endforeach()
add_custom_target(trelmo_package_docs ALL DEPENDS ${compressed})

install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${packaging_out}/changelog.gz ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${trelmo_docdir})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME trelmo)
install(FILES ${PROJECT_SOURCE_DIR}/examples/shops.csv ${PROJECT_SOURCE_DIR}/examples/shops.dsd
              ${PROJECT_SOURCE_DIR}/examples/members.csv ${PROJECT_SOURCE_DIR}/examples/members.dsd
        DESTINATION ${trelmo_docdir}/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trelmo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Trelmo project <trelmo@trelmo.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "CSV to XML converter with a schema editor")
set(CPACK_PACKAGE_DESCRIPTION
    "Trelmo converts a CSV file into an XML file according to a schema file, and
lets you write such schema files in a graphical editor. Every CSV record
becomes one record element; attributes, text, CDATA sections and comments
are filled from CSV columns by number. Conversions also run from the command
line. The interface is Japanese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://trelmo.example/)
# The libraries' packages come from dpkg-shlibdeps; the window needs a font
# with Japanese glyphs and Qt's Japanese texts besides.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, qt6-translations-l10n")
include(CPack)
