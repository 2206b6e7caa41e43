# What `cmake --install` puts under the prefix: the two programs, the user manual and the page
# bitmaps in share/korvane, the desktop entry, the icon, the AppStream metainfo with the screenshots
# it shows, the manual pages and the bash completion. The manual (Korvane.pdf beside the desktop
# program, where Help > Help finds it in a build tree), the icon's PNG sizes and the manual pages
# are made by the normal build.
include(GNUInstallDirs)
find_package(Qt6 REQUIRED COMPONENTS Gui Svg)

set(KORVANE_MANUAL_SOURCE ${PROJECT_SOURCE_DIR}/resources/manual/manual.html)
set(KORVANE_MANUAL ${PROJECT_BINARY_DIR}/app/Korvane.pdf)
file(GLOB KORVANE_MANUAL_IMAGES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/screenshots/*.png
  ${PROJECT_SOURCE_DIR}/resources/manual/*.png ${PROJECT_SOURCE_DIR}/resources/icons/*.svg)
add_executable(korvane-make-manual ${PROJECT_SOURCE_DIR}/tools/make-manual.cpp)
target_link_libraries(korvane-make-manual PRIVATE korvane_pdf korvane_core Qt6::Gui)
# The tools run during the build, also in a sanitizer build: Qt's font and plugin caches are not
# leaks worth failing a build for.
add_custom_command(OUTPUT ${KORVANE_MANUAL}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
    $<TARGET_FILE:korvane-make-manual> ${KORVANE_MANUAL_SOURCE} ${KORVANE_MANUAL}
  DEPENDS korvane-make-manual ${KORVANE_MANUAL_SOURCE} ${KORVANE_MANUAL_IMAGES}
  COMMENT "Writing the user manual Korvane.pdf"
  VERBATIM)
add_custom_target(korvane-manual ALL DEPENDS ${KORVANE_MANUAL})

set(KORVANE_ICON ${PROJECT_SOURCE_DIR}/resources/icons/korvane.svg)
set(KORVANE_ICON_THEME ${PROJECT_BINARY_DIR}/icons/hicolor)
add_executable(korvane-render-icon ${PROJECT_SOURCE_DIR}/tools/render-icon.cpp)
target_link_libraries(korvane-render-icon PRIVATE korvane_core Qt6::Gui Qt6::Svg)
add_custom_command(OUTPUT ${KORVANE_ICON_THEME}/256x256/apps/${KORVANE_APP_ID}.png
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
    $<TARGET_FILE:korvane-render-icon> ${KORVANE_ICON} ${KORVANE_ICON_THEME} ${KORVANE_APP_ID}
  DEPENDS korvane-render-icon ${KORVANE_ICON}
  COMMENT "Drawing the icon sizes"
  VERBATIM)
add_custom_target(korvane-icons ALL DEPENDS ${KORVANE_ICON_THEME}/256x256/apps/${KORVANE_APP_ID}.png)

# Software centres show the screenshots the metainfo names; AppStream wants them as web addresses,
# so they are named under KORVANE_SCREENSHOT_URL, where the installed copies are to be published.
set(KORVANE_SCREENSHOTS main-window.png graph.png invoice-letter.png)
set(KORVANE_SCREENSHOT_URL "https://brisolt.org/korvane/screenshots" CACHE STRING
  "Web address of the folder that holds the screenshots the AppStream metainfo names")
configure_file(${PROJECT_SOURCE_DIR}/resources/${KORVANE_APP_ID}.metainfo.xml.in
  ${PROJECT_BINARY_DIR}/${KORVANE_APP_ID}.metainfo.xml @ONLY)

# The manual pages are made from the programs' --help and --version by help2man, with the sections
# --help does not tell in resources/man; the headings of --help ("Commands:") become sections.
# They are compressed as Debian wants them.
find_program(HELP2MAN help2man)
find_program(GZIP gzip)
set(KORVANE_MAN_PAGES)
if(HELP2MAN AND GZIP)
  foreach(program korvane korvane-cli)
    set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
    set(include ${PROJECT_SOURCE_DIR}/resources/man/${program}.h2m)
    add_custom_command(OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
        ${HELP2MAN} --no-info --include=${include} --output=${page} $<TARGET_FILE:${program}>
      COMMAND sed -i -e "s/^\\.SS \"\\(.*\\):\"$/.SH \"\\U\\1\"/" ${page}
      COMMAND ${GZIP} -9nf ${page}
      DEPENDS ${program} ${include}
      COMMENT "Writing the manual page ${program}.1"
      VERBATIM)
    list(APPEND KORVANE_MAN_PAGES ${page}.gz)
  endforeach()
  add_custom_target(korvane-man-pages ALL DEPENDS ${KORVANE_MAN_PAGES})
else()
  message(WARNING "help2man or gzip not found: the manual pages are neither made nor installed")
endif()

# The desktop program looks for the manual in ../share/korvane beside its own folder.
install(TARGETS korvane korvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${KORVANE_MANUAL} DESTINATION ${CMAKE_INSTALL_DATADIR}/korvane)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/Images DESTINATION ${CMAKE_INSTALL_DATADIR}/korvane)
list(TRANSFORM KORVANE_SCREENSHOTS PREPEND ${PROJECT_SOURCE_DIR}/docs/screenshots/ OUTPUT_VARIABLE screenshots)
install(FILES ${screenshots} DESTINATION ${CMAKE_INSTALL_DATADIR}/korvane/screenshots)
install(FILES ${PROJECT_SOURCE_DIR}/resources/${KORVANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/${KORVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${KORVANE_ICON} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME ${KORVANE_APP_ID}.svg)
install(DIRECTORY ${KORVANE_ICON_THEME}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor
  FILES_MATCHING PATTERN ${KORVANE_APP_ID}.png)
install(FILES ${KORVANE_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# bash-completion looks in share/bash-completion/completions of /usr and of XDG_DATA_HOME.
install(FILES ${PROJECT_SOURCE_DIR}/resources/completion/korvane-cli
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
