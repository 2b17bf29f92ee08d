# SPDX-License-Identifier: GPL-3.0-or-later
# Compiles the help project with chmcmd (run with cmake -P).
#   -DCHMCMD=<chmcmd> -DSOURCE_DIR=<help sources> -DSTAGING_DIR=<scratch folder>
#   -DPROJECT_FILE=<name.hhp> -DFILES=<a|b|c> -DOUTPUT=<final .chm>
#
# chmcmd writes the .chm into its current folder and records every [ALIAS] target as an absolute
# path. The sources are therefore copied into a scratch folder, and chmcmd is handed the project
# through /proc/self/cwd: the paths it records then start with "/proc/self/cwd/" instead of the
# folder the program happened to be built in. The help reader resolves such paths by the part
# that names a file inside the .chm.
foreach(var CHMCMD SOURCE_DIR STAGING_DIR PROJECT_FILE FILES OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CompileHelp: ${var} is not set")
  endif()
endforeach()

string(REPLACE "|" ";" files "${FILES}")
file(REMOVE_RECURSE "${STAGING_DIR}")
file(MAKE_DIRECTORY "${STAGING_DIR}")
foreach(f IN ITEMS ${PROJECT_FILE} ${files})
  get_filename_component(sub "${f}" DIRECTORY)
  file(MAKE_DIRECTORY "${STAGING_DIR}/${sub}")
  file(COPY_FILE "${SOURCE_DIR}/${f}" "${STAGING_DIR}/${f}" ONLY_IF_DIFFERENT)
endforeach()

execute_process(
  COMMAND "${CHMCMD}" --no-html-scan "/proc/self/cwd/${PROJECT_FILE}"
  WORKING_DIRECTORY "${STAGING_DIR}"
  RESULT_VARIABLE rc
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
get_filename_component(base "${PROJECT_FILE}" NAME_WE)
if(NOT rc EQUAL 0 OR NOT EXISTS "${STAGING_DIR}/${base}.chm")
  message(FATAL_ERROR "chmcmd failed (${rc}) on ${PROJECT_FILE}:\n${out}\n${err}")
endif()

get_filename_component(outDir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${outDir}")
file(COPY_FILE "${STAGING_DIR}/${base}.chm" "${OUTPUT}")
