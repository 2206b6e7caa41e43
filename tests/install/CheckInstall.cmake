# cmake -DBUILD_DIR=... -DWORK_DIR=... -DPROBE=... -DAPP_ID=... -DVERSION=... [-DPDFTOTEXT=...] -P CheckInstall.cmake
# Installs BUILD_DIR into a fresh prefix below WORK_DIR and checks the installed layout, then makes
# the Debian package from the same build and checks it: its contents, and both programs run from
# it unpacked.
cmake_minimum_required(VERSION 3.21)

function(fail message)
  message(FATAL_ERROR "${message}")
endfunction()

function(need_tool variable package)
  find_program(${variable} ${ARGN})
  if(NOT ${variable})
    fail("${ARGN} is needed (Debian package ${package})")
  endif()
endfunction()

function(run_ok)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL 0)
    fail("${ARGN} failed (${code}):\n${out}${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/home/runtime ${WORK_DIR}/program-folder)
file(CHMOD ${WORK_DIR}/home/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
run_ok(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# Both programs start from the prefix.
# Both programs tell the one version.
function(check_version program)
  run_ok(${program} --version)
  if(NOT output STREQUAL "Korvane ${VERSION}\n")
    fail("${program} --version printed: ${output}")
  endif()
endfunction()
check_version(${prefix}/bin/korvane)
check_version(${prefix}/bin/korvane-cli)

set(installed_files bin/korvane bin/korvane-cli share/korvane/Korvane.pdf
  share/korvane/Images/Project.bmp share/korvane/Images/Invoice_print.bmp
  share/korvane/screenshots/main-window.png share/applications/${APP_ID}.desktop
  share/metainfo/${APP_ID}.metainfo.xml share/icons/hicolor/scalable/apps/${APP_ID}.svg
  share/icons/hicolor/16x16/apps/${APP_ID}.png share/icons/hicolor/256x256/apps/${APP_ID}.png
  share/man/man1/korvane.1.gz share/man/man1/korvane-cli.1.gz
  share/bash-completion/completions/korvane-cli)
foreach(file ${installed_files})
  if(NOT EXISTS ${prefix}/${file})
    fail("not installed: ${file}")
  endif()
endforeach()

file(STRINGS ${prefix}/share/applications/${APP_ID}.desktop entry)
foreach(line "Exec=korvane" "Icon=${APP_ID}" "Name=Korvane")
  if(NOT line IN_LIST entry)
    fail("${APP_ID}.desktop lacks ${line}")
  endif()
endforeach()
need_tool(DESKTOP_FILE_VALIDATE desktop-file-utils desktop-file-validate)
run_ok(${DESKTOP_FILE_VALIDATE} ${prefix}/share/applications/${APP_ID}.desktop)
need_tool(APPSTREAMCLI appstream appstreamcli)
run_ok(${APPSTREAMCLI} validate --no-net ${prefix}/share/metainfo/${APP_ID}.metainfo.xml)
file(READ ${prefix}/share/metainfo/${APP_ID}.metainfo.xml metainfo)
foreach(part "<id>${APP_ID}</id>" "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
             "<release version=\"${VERSION}\"" "/main-window.png</image>")
  string(FIND "${metainfo}" "${part}" at)
  if(at EQUAL -1)
    fail("the metainfo lacks ${part}")
  endif()
endforeach()

# The manual pages render, and korvane-cli's names every command its --help lists and the exit
# statuses.
need_tool(MAN man-db man)
foreach(program korvane korvane-cli)
  run_ok(${CMAKE_COMMAND} -E env MANWIDTH=100 ${MAN} -P cat -l ${prefix}/share/man/man1/${program}.1.gz)
  if(NOT output MATCHES "SYNOPSIS\n +${program} ")
    fail("man -l ${program}.1.gz shows:\n${output}")
  endif()
  set(page_${program} "${output}")
endforeach()
set(page "${page_korvane-cli}")
run_ok(${prefix}/bin/korvane-cli --help)
string(REGEX MATCHALL "\n  [a-z][^\n]*" usages "${output}")
foreach(usage ${usages})
  string(REGEX REPLACE "^\n  ([^ ]+( [^ ]+)*).*" "\\1" usage "${usage}")
  string(FIND "${page}" "${usage}" at)
  if(at EQUAL -1)
    fail("man korvane-cli lacks \"${usage}\"")
  endif()
endforeach()
if(NOT page MATCHES "EXIT STATUS\n +0 +success\n.*3 +check found problems")
  fail("man korvane-cli lists no exit statuses:\n${page}")
endif()

set(manual ${prefix}/share/korvane/Korvane.pdf)
file(SIZE ${manual} size)
file(READ ${manual} magic LIMIT 5 HEX)
if(size LESS 10000 OR NOT magic STREQUAL "255044462d") # "%PDF-"
  fail("${manual} is not a PDF document (${size} bytes, starting with the bytes ${magic})")
endif()

# Help > Help finds the manual from the installed program's folder, and beside the program in the
# build tree; an empty per-user program folder does not hide either.
run_ok(${PROBE} ${WORK_DIR}/program-folder ${prefix}/bin)
string(STRIP "${output}" found)
if(NOT found STREQUAL manual)
  fail("the installed program looks for its manual at ${found}, not ${manual}")
endif()
run_ok(${PROBE} ${WORK_DIR}/program-folder ${BUILD_DIR}/app)
string(STRIP "${output}" found)
if(NOT found STREQUAL "${BUILD_DIR}/app/Korvane.pdf")
  fail("in the build tree the program looks for its manual at ${found}")
endif()

if(PDFTOTEXT)
  run_ok(${PDFTOTEXT} -enc UTF-8 ${manual} -)
  foreach(heading "Getting started" "The main window" "Reports, printing and exports" "korvane-cli")
    if(NOT output MATCHES "${heading}")
      fail("the manual has no \"${heading}\"")
    endif()
  endforeach()
endif()

# The Debian package, made from the same build.
need_tool(DPKG_DEB dpkg dpkg-deb)
run_ok(${CMAKE_CPACK_COMMAND} --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}/package)
file(GLOB deb ${WORK_DIR}/package/korvane_${VERSION}_*.deb)
list(LENGTH deb count)
if(NOT count EQUAL 1)
  fail("cpack wrote no korvane_${VERSION}_ARCH.deb: ${deb}")
endif()
run_ok(${DPKG_DEB} --field ${deb} Package Version Section Depends)
if(NOT output MATCHES "Package: korvane\nVersion: ${VERSION}\nSection: office\nDepends: [^\n]*libqt6widgets6")
  fail("the package's control fields are:\n${output}")
endif()
run_ok(${DPKG_DEB} --contents ${deb})
foreach(file ${installed_files} share/doc/korvane/copyright share/doc/korvane/changelog.gz)
  if(NOT output MATCHES " \\./usr/${file}\n")
    fail("the package lacks /usr/${file}:\n${output}")
  endif()
endforeach()

# Both programs run from the unpacked package, korvane-cli on a fresh data folder.
set(root ${WORK_DIR}/unpacked)
run_ok(${DPKG_DEB} -x ${deb} ${root})
check_version(${root}/usr/bin/korvane)
check_version(${root}/usr/bin/korvane-cli)
run_ok(${root}/usr/bin/korvane-cli --data ${WORK_DIR}/data demo --projects 2)
run_ok(${root}/usr/bin/korvane-cli --data ${WORK_DIR}/data check)
run_ok(${root}/usr/bin/korvane-cli --data ${WORK_DIR}/data list project)
if(NOT output MATCHES "^{\"identifier\"")
  fail("korvane-cli list project printed: ${output}")
endif()
