# Import libraries whose DLL is loaded at the first call into it rather than at start-up. The
# updater's window needs none of WinInet, the dial-up service, CNG or the shell to show; loading
# them first made a noticeable share of its start-up (tens of milliseconds under Wine).
#
# tolvex_delay_loaded(<lib> <dll>) makes the imported library tolvex_delay_<lib>: every
# function of the toolchain's lib<lib>.a, each loading <dll> on its first call through the
# runtime's delay-load helper. The list of functions comes from that import library, so the
# delay library stays complete whatever the code calls.
function(tolvex_delay_loaded lib dll)
  if(TARGET tolvex_delay_${lib})
    return()
  endif()
  set(dir ${CMAKE_BINARY_DIR}/delay_load)
  file(MAKE_DIRECTORY ${dir})
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${lib}.a
                  OUTPUT_VARIABLE system_lib OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND ${CMAKE_NM} -g ${system_lib} OUTPUT_VARIABLE symbols RESULT_VARIABLE nm_result)
  if(NOT nm_result EQUAL 0 OR NOT symbols MATCHES "__imp_")
    message(FATAL_ERROR "cannot list the functions of ${system_lib}")
  endif()
  # x86_64 names the import of F "__imp_F"; i686 "__imp__F@<argument bytes>", and the .def then
  # keeps "F@<bytes>" while the DLL's own export is plain F (--kill-at).
  string(REGEX MATCHALL "__imp_[A-Za-z0-9_@]+" imports "${symbols}")
  set(names)
  foreach(import IN LISTS imports)
    string(REGEX REPLACE "^__imp_" "" name "${import}")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(REGEX REPLACE "^_" "" name "${name}")
    endif()
    list(APPEND names "${name}")
  endforeach()
  list(REMOVE_DUPLICATES names)
  list(SORT names)
  list(JOIN names "\n" exports)
  file(WRITE ${dir}/${lib}.def "LIBRARY ${dll}\nEXPORTS\n${exports}\n")
  set(kill_at)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(kill_at --kill-at)
  endif()
  execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${dir}/${lib}.def --output-delaylib ${dir}/lib${lib}_delay.a
                          --dllname ${dll} ${kill_at}
                  RESULT_VARIABLE dlltool_result)
  if(NOT dlltool_result EQUAL 0)
    message(FATAL_ERROR "cannot make the delay-load library of ${dll}")
  endif()
  # The i686 linker drops the ".text" of an import-library member whose function symbol nobody
  # names, taking it for the jump stub of an ordinary import that a dllimport call does not
  # need. In a delay-load member that section is the thunk that loads the DLL, and the slot
  # that a dllimport call jumps through starts out pointing at it: dropped, the slot holds 0
  # and the first call jumps to address 0. A section under another name is not taken for such
  # a stub; "*(.text$*)" still places it in the program's code.
  execute_process(COMMAND ${CMAKE_OBJCOPY} --rename-section .text=.text$delay,alloc,load,readonly,contents
                          ${dir}/lib${lib}_delay.a
                  RESULT_VARIABLE objcopy_result)
  if(NOT objcopy_result EQUAL 0)
    message(FATAL_ERROR "cannot keep the delay-load thunks of ${dll}")
  endif()
  add_library(tolvex_delay_${lib} STATIC IMPORTED GLOBAL)
  set_target_properties(tolvex_delay_${lib} PROPERTIES IMPORTED_LOCATION ${dir}/lib${lib}_delay.a)
endfunction()
