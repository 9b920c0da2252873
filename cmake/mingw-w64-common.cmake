# Shared part of the two mingw-w64 toolchain files; TOLVEX_MINGW_PREFIX names the target triple.
set(CMAKE_C_COMPILER ${TOLVEX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOLVEX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOLVEX_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOLVEX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Both builds' tests go through Wine: the rig that CTest starts runs each with the loader of
# its own width.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
