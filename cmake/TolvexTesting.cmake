# GoogleTest from Debian's sources, and tolvex_test() to declare one test executable.
enable_testing()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The Windows tests share one Wine rig (display, prefix, server), started and stopped by
# CTest fixtures so that a plain `ctest` works too. Every test that runs under Wine, and every
# server started for them, carries the label "wine": `ctest -LE wine` runs the rest on a machine
# that cannot run the build.
if(WIN32)
  set(TOLVEX_RIG_DIR ${CMAKE_BINARY_DIR}/rig)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(TOLVEX_WINE_ARCH win32)
  else()
    set(TOLVEX_WINE_ARCH win64)
  endif()
  add_test(NAME rig_start COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-rig.sh start ${TOLVEX_RIG_DIR} ${TOLVEX_WINE_ARCH})
  set_tests_properties(rig_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300 LABELS wine)
  add_test(NAME rig_stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-rig.sh stop ${TOLVEX_RIG_DIR})
  set_tests_properties(rig_stop PROPERTIES FIXTURES_CLEANUP wine LABELS wine)
endif()

# tolvex_test(NAME name SOURCES ... [LIBS ...] [TIMEOUT s])
# Builds one GoogleTest executable and registers it as one CTest test. Under the cross build it
# runs under Wine in the rig; its working directory is a fresh folder of its own.
function(tolvex_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${T_NAME} PRIVATE
    TOLVEX_SOURCE_DIR="${CMAKE_SOURCE_DIR}" TOLVEX_BINARY_DIR="${CMAKE_BINARY_DIR}")
  set(workdir ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}.work)
  file(MAKE_DIRECTORY ${workdir})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} WORKING_DIRECTORY ${workdir})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(WIN32)
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED wine LABELS wine
      ENVIRONMENT "TOLVEX_RIG_DIR=${TOLVEX_RIG_DIR}")
  endif()
endfunction()
