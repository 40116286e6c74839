# The Debian package (scripts/package.sh): the program folder /usr/lib/marquill with the executables,
# the loadable modules and the shipped INI files, the commands in /usr/bin, the desktop entry, icons,
# AppStream metadata, man pages and the systemd unit of marquill-server.
option(MARQUILL_PACKAGE "Also build the man pages and PNG icons that the package installs" OFF)

set(program_folder lib/marquill)
set(package_res ${PROJECT_SOURCE_DIR}/res)
set(package_out ${CMAKE_BINARY_DIR}/package-files)

install(TARGETS marquill marquill-plot marquill-server RUNTIME DESTINATION ${program_folder})
install(TARGETS marquill_import marquill_reseng marquill_tools LIBRARY DESTINATION ${program_folder})
file(GLOB shipped_ini CONFIGURE_DEPENDS ${package_res}/config/*.INI)
install(FILES ${shipped_ini} DESTINATION ${program_folder})

# The commands are links into the program folder, which the programs find through /proc/self/exe.
file(MAKE_DIRECTORY ${package_out}/bin)
foreach(command marquill marquill-plot marquill-server)
  file(CREATE_LINK ../lib/marquill/${command} ${package_out}/bin/${command} SYMBOLIC)
  install(FILES ${package_out}/bin/${command} DESTINATION bin)
endforeach()

install(FILES ${package_res}/marquill.desktop DESTINATION share/applications)
configure_file(${package_res}/org.marquill.Marquill.metainfo.xml ${package_out}/org.marquill.Marquill.metainfo.xml
               @ONLY)
install(FILES ${package_out}/org.marquill.Marquill.metainfo.xml DESTINATION share/metainfo)
install(FILES ${package_res}/icons/marquill.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${package_res}/systemd/marquill-server.service DESTINATION lib/systemd/system)
install(FILES ${package_res}/package/copyright DESTINATION share/doc/marquill)

if(MARQUILL_PACKAGE)
  find_program(HELP2MAN help2man REQUIRED)
  find_program(RSVG_CONVERT rsvg-convert REQUIRED)
  find_program(GZIP gzip REQUIRED)
  set(generated)

  # One man page per command, made from its --help and --version.
  set(summary_marquill "the plot-output server's window")
  set(summary_marquill-plot "plot files through the automatic queue without a window")
  set(summary_marquill-server "plot every file that arrives in the receive folder, unattended")
  foreach(command marquill marquill-plot marquill-server)
    set(page ${package_out}/man/${command}.1)
    add_custom_command(OUTPUT ${page}.gz
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${package_out}/man
                       COMMAND ${HELP2MAN} --no-info --section=1 "--name=${summary_${command}}"
                               --output=${page} $<TARGET_FILE:${command}>
                       COMMAND ${GZIP} -9nf ${page}
                       DEPENDS ${command} VERBATIM)
    list(APPEND generated ${page}.gz)
    install(FILES ${page}.gz DESTINATION share/man/man1)
  endforeach()

  foreach(size 16 24 32 48 64 128 256)
    set(png ${package_out}/icons/${size}x${size}/marquill.png)
    add_custom_command(OUTPUT ${png}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${package_out}/icons/${size}x${size}
                       COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${png}
                               ${package_res}/icons/marquill.svg
                       DEPENDS ${package_res}/icons/marquill.svg VERBATIM)
    list(APPEND generated ${png})
    install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
  endforeach()

  # The Debian changelog of this native package, compressed as policy asks.
  configure_file(${package_res}/package/changelog ${package_out}/changelog @ONLY)
  add_custom_command(OUTPUT ${package_out}/changelog.gz
                     COMMAND ${GZIP} -9nkf ${package_out}/changelog
                     DEPENDS ${package_out}/changelog VERBATIM)
  list(APPEND generated ${package_out}/changelog.gz)
  install(FILES ${package_out}/changelog.gz DESTINATION share/doc/marquill)

  add_custom_target(marquill_package_files ALL DEPENDS ${generated})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marquill)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "The Marquill developers <developers@marquill.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "plot-output server for pen and cutting plotters")
set(CPACK_PACKAGE_DESCRIPTION
    "Design programs drop HP-GL plot files into receive folders; Marquill makes
each file a job, keeps the jobs in a queue with a preview, and sends them copy
by copy to a pen plotter or a cutting plotter through a serial port, a parallel
or USB printer port, or into a file, built from the command templates of a
device profile. The package holds the window (marquill), the command-line
plotter (marquill-plot) and the unattended server (marquill-server) with its
systemd service.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://marquill.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# adduser for the maintainer scripts; Chinese glyphs and Qt's own Chinese texts for the window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS adduser)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${package_res}/package/postinst ${package_res}/package/prerm ${package_res}/package/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
