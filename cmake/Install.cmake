# What `cmake --install` puts under the prefix: the two programs, the user manual and the page
# bitmaps in share/korvane, the desktop entry and the icon. The manual (Korvane.pdf beside the
# desktop program, where Help > Help finds it in a build tree) and the icon's PNG sizes are made
# by the normal build.
include(GNUInstallDirs)
find_package(Qt6 REQUIRED COMPONENTS Gui Svg)

set(KORVANE_MANUAL_SOURCE ${PROJECT_SOURCE_DIR}/resources/manual/manual.html)
set(KORVANE_MANUAL ${PROJECT_BINARY_DIR}/app/Korvane.pdf)
file(GLOB KORVANE_MANUAL_IMAGES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/screenshots/*.png
  ${PROJECT_SOURCE_DIR}/resources/manual/*.png ${PROJECT_SOURCE_DIR}/resources/icons/*.svg)
add_executable(korvane-make-manual ${PROJECT_SOURCE_DIR}/tools/make-manual.cpp)
target_link_libraries(korvane-make-manual PRIVATE korvane_core Qt6::Gui)
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
add_custom_command(OUTPUT ${KORVANE_ICON_THEME}/256x256/apps/korvane.png
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
    $<TARGET_FILE:korvane-render-icon> ${KORVANE_ICON} ${KORVANE_ICON_THEME}
  DEPENDS korvane-render-icon ${KORVANE_ICON}
  COMMENT "Drawing the icon sizes"
  VERBATIM)
add_custom_target(korvane-icons ALL DEPENDS ${KORVANE_ICON_THEME}/256x256/apps/korvane.png)

# The desktop program looks for the manual in ../share/korvane beside its own folder.
install(TARGETS korvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${KORVANE_MANUAL} DESTINATION ${CMAKE_INSTALL_DATADIR}/korvane)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/Images DESTINATION ${CMAKE_INSTALL_DATADIR}/korvane)
install(FILES ${PROJECT_SOURCE_DIR}/resources/korvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KORVANE_ICON} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY ${KORVANE_ICON_THEME}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
