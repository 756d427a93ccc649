# vex_add_language_module(<target> <script.rc>
#                         [OUTPUT_DIRECTORY <dir>] [DEPENDS <file>...])
#
# Builds a language module, "vexlng.dll", from a translated copy of the
# program's resource script: src/resources/uninstall.rc with its texts
# translated, its controls moved or resized where a language needs the room,
# and, for a language written from right to left, a dialog resource named
# "RTL" (its content does not matter). Put beside uninstall.exe, the module
# gives the program its dialogs, its string table and its icon.
#
# The script may include "resource_ids.h" and name the icons of
# src/resources. windres reports no included files: list them in DEPENDS so
# that the module is rebuilt when they change. The module goes into
# OUTPUT_DIRECTORY (default: the build's bin/); a "vexlng.dll" beside the
# test programs would be loaded by every one of them, so tests give each
# module a folder of its own.
#
#   vex_add_language_module(vexlng_german translations/german/uninstall.rc
#                           OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lang/german)
function(vex_add_language_module target script)
  cmake_parse_arguments(arg "" "OUTPUT_DIRECTORY" "DEPENDS" ${ARGN})
  add_library(${target} MODULE ${script})
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME vexlng SUFFIX ".dll" LINKER_LANGUAGE C)
  if(arg_OUTPUT_DIRECTORY)
    set_target_properties(${target} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${arg_OUTPUT_DIRECTORY})
  endif()
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/src/resources)
  # Resources only: no C runtime and no entry point (address 0), so loading
  # it runs nothing.
  target_link_options(${target} PRIVATE -nostdlib -Wl,-e,0 -s)
  if(arg_DEPENDS)
    set_source_files_properties(${script} PROPERTIES OBJECT_DEPENDS "${arg_DEPENDS}")
  endif()
endfunction()
