# What a surveyor installs, built with `cpack` in a build folder:
# - Windows (cross-built): trovisk-<version>-win64.zip or -win32.zip holding
#   both programs, the example job and a read-me;
# - Linux: trovisk_<version>_amd64.deb with the command line, its manual page,
#   the example job and the copyright file.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(TROVISK_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package-files)

set(CPACK_PACKAGE_NAME trovisk)
set(CPACK_PACKAGE_VENDOR "The Trovisk developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert RW5 raw survey data into Korvanta input files")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TROVISK_WINDOWS_FLAVOUR win64)
  else()
    set(TROVISK_WINDOWS_FLAVOUR win32)
  endif()
  install(TARGETS trovisk-gui trovisk RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/examples/traverse.rw5 DESTINATION examples)
  # Notepad of older Windows shows a file without CR as one line.
  configure_file(${PROJECT_SOURCE_DIR}/packaging/README-windows.txt.in
    ${TROVISK_PACKAGE_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${TROVISK_PACKAGE_DIR}/README.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME trovisk-${PROJECT_VERSION}-${TROVISK_WINDOWS_FLAVOUR})
else()
  set(TROVISK_MAINTAINER "The Trovisk developers <trovisk@example.org>" CACHE STRING
    "Maintainer named in the Debian package")
  set(TROVISK_DOC_DIR share/doc/trovisk)
  install(TARGETS trovisk RUNTIME DESTINATION bin)

  # The manual page, written by the program from its own option table.
  add_custom_command(OUTPUT ${TROVISK_PACKAGE_DIR}/trovisk.1.gz
    COMMAND sh -c "\"$1\" --man | gzip -9n >\"$2\"" sh $<TARGET_FILE:trovisk>
      ${TROVISK_PACKAGE_DIR}/trovisk.1.gz
    DEPENDS trovisk
    COMMENT "Writing the manual page trovisk.1"
    VERBATIM)
  # Debian's own changelog of the package, dated by SOURCE_DATE_EPOCH when set.
  string(TIMESTAMP TROVISK_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${TROVISK_PACKAGE_DIR}/changelog
    @ONLY)
  add_custom_command(OUTPUT ${TROVISK_PACKAGE_DIR}/changelog.gz
    COMMAND gzip -9nc ${TROVISK_PACKAGE_DIR}/changelog >${TROVISK_PACKAGE_DIR}/changelog.gz
    DEPENDS ${TROVISK_PACKAGE_DIR}/changelog)
  add_custom_target(trovisk-package-files ALL
    DEPENDS ${TROVISK_PACKAGE_DIR}/trovisk.1.gz ${TROVISK_PACKAGE_DIR}/changelog.gz)

  install(FILES ${TROVISK_PACKAGE_DIR}/trovisk.1.gz DESTINATION share/man/man1)
  install(FILES ${TROVISK_PACKAGE_DIR}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
    DESTINATION ${TROVISK_DOC_DIR})
  install(FILES ${PROJECT_SOURCE_DIR}/examples/traverse.rw5 DESTINATION ${TROVISK_DOC_DIR}/examples)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TROVISK_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The extended description; its synopsis line is the summary above.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Trovisk reads a data collector's raw field file (RW5, .rw5 or .raw): the
setups, backsights, angles, zeniths, distances, direction sets and GPS vectors
of a day's work. It writes the input file of the Korvanta least-squares network
adjustment program, computes approximate coordinates from a seed station on
request, offers to merge stations that stand on the same point, and checks the
field work before the adjustment (backsight checks, traverse misclosures).")
endif()

include(CPack)
