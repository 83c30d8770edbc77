# Packaging.cmake - the Debian package (scripts/package-deb.sh, CPack's DEB generator): velhost
# on the PATH; the plug-in and the host library in a library folder of their own, where an
# installed velhost looks; the LibreCAD plug-in where Debian's LibreCAD looks for plug-ins; the
# README, the changelog and the examples; a desktop entry with its icon; the manual page.
# Everything goes in the component "package"; the component "librecad" stays the user's own
# install of the LibreCAD plug-in (scripts/install-librecad-plugin.sh).
include(GNUInstallDirs)

set(ORVANTA_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/orvanta)
install(TARGETS velhost RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT package)
set_target_properties(velhost PROPERTIES INSTALL_RPATH ${CMAKE_INSTALL_FULL_LIBDIR}/orvanta)
install(TARGETS Orvanta VelLib LIBRARY DESTINATION ${ORVANTA_PRIVATE_LIBDIR} COMPONENT package)
if(ORVANTA_LIBRECAD)
  install(TARGETS orvanta_librecad LIBRARY DESTINATION lib/librecad COMPONENT package)
  install(TARGETS Orvanta_qt5 VelLib LIBRARY DESTINATION lib/librecad/orvanta COMPONENT package)
endif()

set(ORVANTA_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/orvanta)
install(FILES README.md CHANGELOG.md packaging/copyright DESTINATION ${ORVANTA_DOCDIR}
        COMPONENT package)
install(DIRECTORY examples/ DESTINATION ${ORVANTA_DOCDIR}/examples COMPONENT package
        PATTERN "*.sh" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                   WORLD_READ WORLD_EXECUTE)
install(DIRECTORY docs/ DESTINATION ${ORVANTA_DOCDIR}/docs COMPONENT package)
install(FILES packaging/orvanta-velhost.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications COMPONENT package)
install(FILES packaging/orvanta.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps COMPONENT package)

# Debian keeps manual pages and changelogs compressed, without a time stamp in them. The package's
# own changelog, in Debian's form, points to CHANGELOG.md.
set(ORVANTA_GZIPPED ${PROJECT_BINARY_DIR}/packaging)
configure_file(packaging/changelog.in ${ORVANTA_GZIPPED}/changelog @ONLY)
add_custom_command(
  OUTPUT ${ORVANTA_GZIPPED}/velhost.1.gz ${ORVANTA_GZIPPED}/changelog.gz
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/velhost.1 > ${ORVANTA_GZIPPED}/velhost.1.gz
  COMMAND gzip -9nc ${ORVANTA_GZIPPED}/changelog > ${ORVANTA_GZIPPED}/changelog.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/velhost.1 ${ORVANTA_GZIPPED}/changelog)
add_custom_target(orvanta_package_files ALL DEPENDS ${ORVANTA_GZIPPED}/velhost.1.gz
                                                    ${ORVANTA_GZIPPED}/changelog.gz)
install(FILES ${ORVANTA_GZIPPED}/velhost.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT package)
install(FILES ${ORVANTA_GZIPPED}/changelog.gz DESTINATION ${ORVANTA_DOCDIR} COMPONENT package)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvanta)
set(CPACK_PACKAGE_VENDOR "The Orvanta developers")
set(CPACK_PACKAGE_CONTACT "The Orvanta developers <orvanta@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mould inserts around figures of a 2D drawing")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Orvanta builds mould inserts: around the figures picked in a drawing it\n"
    "draws a closed outline grown by a distance on each side, with each corner\n"
    "sharp, rounded or chamfered, and an offset hole outline; in its second\n"
    "method it adds corner leaders and side dimensions that a click changes\n"
    "while the insert is rebuilt.\n"
    "\n"
    "The package holds velhost, a 2D CAD window and session player that runs\n"
    "the Orvanta plug-in on DXF and JSON drawings, and a LibreCAD plug-in that\n"
    "runs it in LibreCAD.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS librecad)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
# One package of the component "package" alone.
set(CPACK_COMPONENTS_ALL package)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The host library lies in the package's own folders, where dpkg-shlibdeps looks with these.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_INSTALL_FULL_LIBDIR}/orvanta
                                                ${CMAKE_INSTALL_PREFIX}/lib/librecad/orvanta)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR}/packages)
include(CPack)
