# tolvex_http_server_fixture(NAME fixture)
# Registers a CTest fixture that starts scripts/http_test_server.py in the background for the
# tests that require it, and stops it afterwards. The server's folder is
# ${CMAKE_CURRENT_BINARY_DIR}/<fixture>: "port" (the chosen port), "root/" (the files served),
# "requests.jsonl" (one line per request), "pid". Sets <fixture>_DIR in the caller's scope; a
# test passes it on as TOLVEX_HTTP_DIR, e.g.
#   set_property(TEST t APPEND PROPERTY FIXTURES_REQUIRED fixture)
#   set_property(TEST t APPEND PROPERTY ENVIRONMENT TOLVEX_HTTP_DIR=${fixture_DIR})
function(tolvex_http_server_fixture)
  cmake_parse_arguments(F "" "NAME" "" ${ARGN})
  find_program(TOLVEX_PYTHON3 python3 REQUIRED)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${F_NAME})
  file(MAKE_DIRECTORY ${dir}/root)
  set(server ${PROJECT_SOURCE_DIR}/scripts/http_test_server.py)
  add_test(NAME ${F_NAME}_start COMMAND ${TOLVEX_PYTHON3} ${server}
    --root ${dir}/root --port-file ${dir}/port --pid-file ${dir}/pid --log ${dir}/requests.jsonl
    --background --idle-exit 3600)
  set_tests_properties(${F_NAME}_start PROPERTIES FIXTURES_SETUP ${F_NAME} TIMEOUT 60)
  add_test(NAME ${F_NAME}_stop COMMAND ${TOLVEX_PYTHON3} ${server} --stop --pid-file ${dir}/pid)
  set_tests_properties(${F_NAME}_stop PROPERTIES FIXTURES_CLEANUP ${F_NAME} TIMEOUT 60)
  set(${F_NAME}_DIR ${dir} PARENT_SCOPE)
endfunction()

# tolvex_use_http_server(TEST test FIXTURE fixture)
# Makes `test` require the server fixture and tells it the server's folder (TOLVEX_HTTP_DIR).
function(tolvex_use_http_server)
  cmake_parse_arguments(U "" "TEST;FIXTURE" "" ${ARGN})
  set_property(TEST ${U_TEST} APPEND PROPERTY FIXTURES_REQUIRED ${U_FIXTURE})
  set_property(TEST ${U_TEST} APPEND PROPERTY ENVIRONMENT TOLVEX_HTTP_DIR=${CMAKE_CURRENT_BINARY_DIR}/${U_FIXTURE})
endfunction()
