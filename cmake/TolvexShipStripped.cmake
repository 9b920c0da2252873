# What users receive carries no debug information: the static C++ runtime alone brings about half
# of the updater's bytes as debug sections, which every download of it would carry.
#
# tolvex_ship_stripped(<target>): in every build but Debug, after each link the target's debug
# information moves into <file>.debug beside it (for reading a crash address later), and the
# program keeps no debug section and no symbol table, only a .gnu_debuglink naming that file.
function(tolvex_ship_stripped target)
  if(CMAKE_BUILD_TYPE STREQUAL "Debug")
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all $<TARGET_FILE:${target}>
    # The link holds the file's bare name and checksum; objcopy reads it from the working folder.
    COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug $<TARGET_FILE_NAME:${target}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
