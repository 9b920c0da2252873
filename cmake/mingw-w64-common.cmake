# Shared part of the two mingw-w64 toolchain files; TOLVEX_MINGW_PREFIX names the target triple.
set(CMAKE_C_COMPILER ${TOLVEX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOLVEX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOLVEX_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOLVEX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Only the 64-bit build can run here; its tests go through Wine.
if(TOLVEX_MINGW_PREFIX STREQUAL "x86_64-w64-mingw32")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
endif()
