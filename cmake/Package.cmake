# The Debian package of glyphmill (cpack -G DEB in the host build): the
# program, its manual page made from docs/glyphmill.1.md by pandoc, bash
# completion, the user manual the manual page names (manual.pdf, which
# scripts/build makes in the products' folder) and the Debian documents; the
# dependencies come from the shared libraries the program links
# (dpkg-shlibdeps), and bash-completion is recommended.
find_program(PANDOC pandoc REQUIRED)
find_program(GZIP gzip REQUIRED)

set(package_doc ${CMAKE_BINARY_DIR}/package-doc)
add_custom_command(
  OUTPUT ${package_doc}/glyphmill.1.gz ${package_doc}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${package_doc}
  COMMAND ${PANDOC} ${CMAKE_SOURCE_DIR}/docs/glyphmill.1.md --standalone --to man
          --metadata footer=glyphmill\ ${PROJECT_VERSION} -o ${package_doc}/glyphmill.1
  COMMAND ${GZIP} -9nf ${package_doc}/glyphmill.1
  COMMAND ${GZIP} -9nc ${CMAKE_SOURCE_DIR}/packaging/changelog > ${package_doc}/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/docs/glyphmill.1.md ${CMAKE_SOURCE_DIR}/packaging/changelog
  COMMENT "Making glyphmill's manual page")
add_custom_target(glyphmill_package_doc ALL DEPENDS ${package_doc}/glyphmill.1.gz ${package_doc}/changelog.gz)

include(GNUInstallDirs)
install(TARGETS glyphmill RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${package_doc}/glyphmill.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/glyphmill.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME glyphmill)
set(GLYPHMILL_DIST "${CMAKE_SOURCE_DIR}/dist" CACHE PATH "The products' folder, with manual.pdf")
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${package_doc}/changelog.gz ${GLYPHMILL_DIST}/manual.pdf
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/glyphmill)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glyphmill)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Glyphmill developers <maintainers@users.noreply.c-seed-f4729878.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bitmap fonts for a small serial printer, from the command line")
set(CPACK_PACKAGE_DESCRIPTION
    "glyphmill checks and rewrites the printer's 64 KiB font image files, loads\n\
them into the printer over a serial line and reads them back, brings fonts in\n\
from TrueType/OpenType, BDF and PCF and writes BDF, draws pictures of an image\n\
and of printed text, and plays the printer on a pseudo-terminal for tests.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS bash-completion)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
