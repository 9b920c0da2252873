# The key option of the updater: -DTOLVEX_UPDATE_PUBLIC_KEY=<file>[,<file>...].
#
# tolvex_update_key_files(<value> <out_var>) splits the option's value into key files. A value
# that is not empty but names no file (",", " ", two unset variables joined by a comma) stops the
# configure: a build meant to demand signatures must never come out without a key.
#
# Run as a script (cmake -DTOLVEX_UPDATE_PUBLIC_KEY=... -P TolvexUpdateKeys.cmake) it prints how
# many key files the value names, or fails as the configure would.
function(tolvex_update_key_files value out_var)
  string(REPLACE "," ";" items "${value}")
  set(files "")
  foreach(item IN LISTS items)
    string(STRIP "${item}" item)
    if(NOT item STREQUAL "")
      list(APPEND files "${item}")
    endif()
  endforeach()
  if(NOT value STREQUAL "" AND files STREQUAL "")
    message(FATAL_ERROR "TOLVEX_UPDATE_PUBLIC_KEY=\"${value}\" names no key file: a build without a key would "
      "install unsigned releases. Give the key files, or leave the option empty for an unkeyed build.")
  endif()
  set(${out_var} "${files}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  tolvex_update_key_files("${TOLVEX_UPDATE_PUBLIC_KEY}" files)
  list(LENGTH files count)
  message("${count} key files named")
endif()
