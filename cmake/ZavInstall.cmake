# What `cmake --install` puts under the prefix: the program in bin, and in
# share its Localize.ini (the program looks there when none lies beside it),
# the desktop entry, one MIME type per file kind and the icons.
include(GNUInstallDirs)

set(ZAV_DESKTOP_DIR ${CMAKE_SOURCE_DIR}/resources/desktop)

install(FILES ${ZAV_LOCALIZE_INI} DESTINATION ${CMAKE_INSTALL_DATADIR}/zaveditor)

# The entry starts the program by its installed path, which is known only when
# installing (a prefix given to `cmake --install` overrides the configured one).
install(CODE "
  set(ZAV_INSTALLED_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/zaveditor\")
  configure_file(\"${ZAV_DESKTOP_DIR}/zaveditor.desktop.in\"
                 \"${CMAKE_BINARY_DIR}/zaveditor.desktop\" @ONLY)")
install(FILES ${CMAKE_BINARY_DIR}/zaveditor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ZAV_DESKTOP_DIR}/zaveditor-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME zaveditor.xml)
install(DIRECTORY ${ZAV_DESKTOP_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
        FILES_MATCHING PATTERN "*.png")

# The caches the desktop reads, rebuilt for a live install (a staged one,
# with DESTDIR, leaves that to its package's own scripts).
install(CODE "
  if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
    find_program(ZAV_UPDATE_MIME update-mime-database)
    find_program(ZAV_UPDATE_DESKTOP update-desktop-database)
    if(ZAV_UPDATE_MIME)
      execute_process(COMMAND \${ZAV_UPDATE_MIME} \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/mime\")
    endif()
    if(ZAV_UPDATE_DESKTOP)
      execute_process(COMMAND \${ZAV_UPDATE_DESKTOP} \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
    endif()
  endif()")
