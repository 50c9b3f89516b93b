# What `cmake --install` puts where (GNUInstallDirs), and the Debian package
# CPack makes of it (scripts/package).

set(TOLVANE_ID org.tolvane.Tolvane)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)
set(docdir ${CMAKE_INSTALL_DATADIR}/doc/tolvane)
# Debian wants 755 folders whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The batch tool starts tolvane-batch-graph from its own folder, so the two
# stay side by side.
install(TARGETS tolvane-batch tolvane-batch-graph RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tolvane/Data)

# Man pages (with the project's version) and changelog gzipped as Debian
# wants them: best compression, no name or time stamp in the header, so that
# a rebuild gives the same bytes.
configure_file(${packaging}/tolvane.1.in ${CMAKE_BINARY_DIR}/packaging/tolvane.1 @ONLY)
# The batch tool's page takes its synopsis and options from the command
# table, as --help does.
add_executable(tolvane-make-manual src/batch/make_manual.cpp)
target_link_libraries(tolvane-make-manual PRIVATE tolvane_batch)
tolvane_warnings(tolvane-make-manual)
set(manual ${CMAKE_BINARY_DIR}/packaging)
add_custom_command(OUTPUT ${manual}/tolvane-batch.1
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:tolvane-make-manual> synopsis
          > ${manual}/synopsis.roff
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:tolvane-make-manual> commands
          > ${manual}/commands.roff
  COMMAND ${CMAKE_COMMAND} -DIN=${packaging}/tolvane-batch.1.in -DPROJECT_VERSION=${PROJECT_VERSION}
          -DSYNOPSIS=${manual}/synopsis.roff
          -DCOMMANDS=${manual}/commands.roff -DOUT=${manual}/tolvane-batch.1
          -P ${CMAKE_SOURCE_DIR}/cmake/ConfigureManual.cmake
  DEPENDS tolvane-make-manual ${packaging}/tolvane-batch.1.in ${CMAKE_SOURCE_DIR}/cmake/ConfigureManual.cmake
  VERBATIM)
set(gzipped)
foreach(source ${CMAKE_BINARY_DIR}/packaging/tolvane.1 ${CMAKE_BINARY_DIR}/packaging/tolvane-batch.1
        ${packaging}/changelog)
  get_filename_component(name ${source} NAME)
  set(target ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${target}
    COMMAND gzip -9n -c ${source} > ${target}
    DEPENDS ${source} VERBATIM)
  list(APPEND gzipped ${target})
endforeach()
add_custom_target(tolvane-packaging ALL DEPENDS ${gzipped})
# tolvane-batch-graph is reached through tolvane-batch graph: its page.
file(CREATE_LINK tolvane-batch.1.gz ${CMAKE_BINARY_DIR}/packaging/tolvane-batch-graph.1.gz SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/packaging/tolvane-batch.1.gz
              ${CMAKE_BINARY_DIR}/packaging/tolvane-batch-graph.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz ${packaging}/copyright
        DESTINATION ${docdir})

if(TOLVANE_BUILD_UI)
  install(TARGETS tolvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/tolvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${packaging}/${TOLVANE_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${packaging}/${TOLVANE_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # The icons are painted by the program's own picture code at build time.
  find_package(Qt6 REQUIRED COMPONENTS Svg)
  add_executable(tolvane-make-icons src/ui/make_icons.cpp)
  target_link_libraries(tolvane-make-icons PRIVATE tolvane_ui Qt6::Svg)
  tolvane_warnings(tolvane-make-icons)
  set(icons ${CMAKE_BINARY_DIR}/icons/hicolor)
  set(icon_files ${icons}/48x48/apps/${TOLVANE_ID}.png ${icons}/128x128/apps/${TOLVANE_ID}.png
                 ${icons}/256x256/apps/${TOLVANE_ID}.png ${icons}/scalable/apps/${TOLVANE_ID}.svg)
  # A tool of the build: leaks at its exit are no concern of a sanitizer build.
  add_custom_command(OUTPUT ${icon_files}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:tolvane-make-icons> ${CMAKE_BINARY_DIR}/icons
    DEPENDS tolvane-make-icons VERBATIM)
  add_custom_target(tolvane-icons ALL DEPENDS ${icon_files})
  install(DIRECTORY ${icons} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()

# ---- The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tolvane maintainers <maintainers@tolvane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "rainfall-runoff model with a Nash cascade of reservoirs")
# The long description in lines of at most 80; CPack puts the summary
# before it and indents each line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tolvane turns the rainfall record of a watershed into a runoff hydrograph
with a Nash cascade of one to five equal linear reservoirs behind a
pre-reservoir. From rainfall and measured runoff it determines the number of
reservoirs and the reaction factor of best fit; from rainfall and the model's
parameters it predicts runoff. It shows the results as text and graphs.

The package holds the windowed program tolvane, the command-line tool
tolvane-batch (import of spreadsheet tables, runs, calibration, graphs) and
example input files.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The fonts that stand in for those the windows and graphs were designed
# with (src/render/fonts.cpp loads them from their installed files).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-wine")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
