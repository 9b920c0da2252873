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
  set_tests_properties(${F_NAME}_start PROPERTIES FIXTURES_SETUP ${F_NAME} TIMEOUT 60 LABELS wine)
  add_test(NAME ${F_NAME}_stop COMMAND ${TOLVEX_PYTHON3} ${server} --stop --pid-file ${dir}/pid)
  set_tests_properties(${F_NAME}_stop PROPERTIES FIXTURES_CLEANUP ${F_NAME} TIMEOUT 60 LABELS wine)
  set(${F_NAME}_DIR ${dir} PARENT_SCOPE)
endfunction()

# tolvex_use_http_server(TEST test FIXTURE fixture)
# Makes `test` require the server fixture and tells it the server's folder (TOLVEX_HTTP_DIR).
function(tolvex_use_http_server)
  cmake_parse_arguments(U "" "TEST;FIXTURE" "" ${ARGN})
  set_property(TEST ${U_TEST} APPEND PROPERTY FIXTURES_REQUIRED ${U_FIXTURE})
  set_property(TEST ${U_TEST} APPEND PROPERTY ENVIRONMENT TOLVEX_HTTP_DIR=${CMAKE_CURRENT_BINARY_DIR}/${U_FIXTURE})
endfunction()

# tolvex_https_servers_fixture(NAME fixture)
# Registers one CTest fixture of https servers for the whole tree (one, because the test CA it
# trusts is made afresh on every run): the certificates of make_test_certificates.sh in
# ${CMAKE_BINARY_DIR}/<fixture>/certs, the test CA added to the rig's own Wine prefix's trusted
# roots (and taken out again afterwards), and one http_test_server.py --tls per certificate,
# each in ${CMAKE_BINARY_DIR}/<fixture>/<certificate> laid out as above: "trusted", "untrusted",
# "expired", "wronghost". A test reaches them with tolvex_use_https_servers().
function(tolvex_https_servers_fixture)
  cmake_parse_arguments(F "" "NAME" "" ${ARGN})
  find_program(TOLVEX_PYTHON3 python3 REQUIRED)
  set(dir ${CMAKE_BINARY_DIR}/${F_NAME})
  set(certs ${dir}/certs)
  add_test(NAME ${F_NAME}_certificates
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/support/make_test_certificates.sh ${certs})
  set_tests_properties(${F_NAME}_certificates PROPERTIES FIXTURES_SETUP ${F_NAME}_certificates TIMEOUT 60 LABELS wine)
  foreach(step add remove)
    add_test(NAME ${F_NAME}_trust_${step} COMMAND tolvex_trust_test_ca ${step} Z:${certs}/ca.der)
    set_tests_properties(${F_NAME}_trust_${step} PROPERTIES TIMEOUT 120 LABELS wine
      ENVIRONMENT TOLVEX_RIG_DIR=${TOLVEX_RIG_DIR} FIXTURES_REQUIRED "wine;${F_NAME}_certificates")
  endforeach()
  set_tests_properties(${F_NAME}_trust_add PROPERTIES FIXTURES_SETUP ${F_NAME})
  set_tests_properties(${F_NAME}_trust_remove PROPERTIES FIXTURES_CLEANUP ${F_NAME})
  set(server ${PROJECT_SOURCE_DIR}/scripts/http_test_server.py)
  foreach(certificate trusted untrusted expired wronghost)
    set(at ${dir}/${certificate})
    file(MAKE_DIRECTORY ${at}/root)
    add_test(NAME ${F_NAME}_${certificate}_start COMMAND ${TOLVEX_PYTHON3} ${server} --tls ${certs}/${certificate}.pem
      --root ${at}/root --port-file ${at}/port --pid-file ${at}/pid --log ${at}/requests.jsonl
      --background --idle-exit 3600)
    set_tests_properties(${F_NAME}_${certificate}_start PROPERTIES TIMEOUT 60 LABELS wine
      FIXTURES_SETUP ${F_NAME} FIXTURES_REQUIRED ${F_NAME}_certificates)
    add_test(NAME ${F_NAME}_${certificate}_stop COMMAND ${TOLVEX_PYTHON3} ${server} --stop --pid-file ${at}/pid)
    set_tests_properties(${F_NAME}_${certificate}_stop PROPERTIES FIXTURES_CLEANUP ${F_NAME} TIMEOUT 60 LABELS wine)
  endforeach()
  set_property(GLOBAL PROPERTY TOLVEX_HTTPS_SERVERS ${F_NAME})
endfunction()

# tolvex_use_https_servers(TEST test)
# Makes `test` require the https servers and tells it their folder (TOLVEX_HTTPS_DIR).
function(tolvex_use_https_servers)
  cmake_parse_arguments(U "" "TEST" "" ${ARGN})
  get_property(fixture GLOBAL PROPERTY TOLVEX_HTTPS_SERVERS)
  set_property(TEST ${U_TEST} APPEND PROPERTY FIXTURES_REQUIRED ${fixture})
  set_property(TEST ${U_TEST} APPEND PROPERTY ENVIRONMENT TOLVEX_HTTPS_DIR=${CMAKE_BINARY_DIR}/${fixture})
endfunction()
