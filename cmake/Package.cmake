# The Debian package, made by CPack from the install rules: `cpack --config CPackConfig.cmake` in a
# build folder writes korvane_VERSION_ARCH.deb there (tools/build.sh package does it on a Release
# build). It installs into /usr; dpkg-shlibdeps finds the libraries the programs need.
set(KORVANE_MAINTAINER "Brisolt <korvane@brisolt.org>" CACHE STRING "Maintainer named in the Debian package")

# Debian wants a changelog and a copyright file in share/doc/korvane; the changelog's one entry is
# this version on its release day.
execute_process(COMMAND date -u -R -d "${KORVANE_RELEASE_DATE} 12:00"
  OUTPUT_VARIABLE KORVANE_RELEASE_TIME OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(changelog ${PROJECT_BINARY_DIR}/package/changelog)
configure_file(${PROJECT_SOURCE_DIR}/resources/package/changelog.in ${changelog} @ONLY)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND ${GZIP} -9nkf ${changelog}
  DEPENDS ${changelog}
  VERBATIM)
add_custom_target(korvane-changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${changelog}.gz ${PROJECT_SOURCE_DIR}/resources/package/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/korvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VENDOR Brisolt)
set(CPACK_PACKAGE_CONTACT "${KORVANE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION office)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# xdg-utils opens the manual, generated pages and mail drafts in the desktop's programs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
# The first line is the synopsis; Debian wants the lines below 80 characters.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "tracker of small projects, their tasks, meetings and money
Korvane keeps track of small projects on the desktop: for each project its
client, the people assigned, a synopsis, documents, tasks and sub tasks,
meetings with agenda, actions and attendees, income and expense entries, and
invoices written as letters with the amount in words. It shows a progress
graph per project, exports projects to HTML, Word and Excel, and imports
contacts from vCard and tasks and meetings from iCalendar files.

Every record is one small file in one data folder. The package also holds
korvane-cli, which lists, changes, reports on and exports the records of a
data folder from a shell.")
include(CPack)
