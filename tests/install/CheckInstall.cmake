# cmake -DBUILD_DIR=... -DWORK_DIR=... -DPROBE=... [-DPDFTOTEXT=...] -P CheckInstall.cmake
# Installs BUILD_DIR into a fresh prefix below WORK_DIR and checks the installed layout.
cmake_minimum_required(VERSION 3.21)

function(fail message)
  message(FATAL_ERROR "${message}")
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
run_ok(${prefix}/bin/korvane --version)
if(NOT output MATCHES "Korvane [0-9]+\\.[0-9]+")
  fail("korvane --version printed: ${output}")
endif()
run_ok(${prefix}/bin/korvane-cli --help)
if(NOT output MATCHES "korvane-cli")
  fail("korvane-cli --help printed: ${output}")
endif()

foreach(file share/applications/korvane.desktop share/icons/hicolor/scalable/apps/korvane.svg
             share/icons/hicolor/16x16/apps/korvane.png share/icons/hicolor/256x256/apps/korvane.png
             share/korvane/Images/Project.bmp share/korvane/Images/Invoice_print.bmp)
  if(NOT EXISTS ${prefix}/${file})
    fail("not installed: ${file}")
  endif()
endforeach()

file(STRINGS ${prefix}/share/applications/korvane.desktop entry)
foreach(line "Exec=korvane" "Icon=korvane" "Name=Korvane")
  if(NOT line IN_LIST entry)
    fail("korvane.desktop lacks ${line}")
  endif()
endforeach()

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
