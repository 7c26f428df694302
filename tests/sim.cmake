# The indicator simulator's tests and the lab tools; included from
# tests/CMakeLists.txt. Paths are relative to this file so that the file also
# works when included from elsewhere.

add_executable(ssdp-probe ${CMAKE_CURRENT_LIST_DIR}/lab/tools/ssdp_probe.cpp)
target_link_libraries(ssdp-probe PRIVATE quorvel_ssdp_text)
quorvel_strict(ssdp-probe)

quorvel_unit_test(sim_unit_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/unit/sim_options_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/unit/sim_indicator_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/unit/sim_ssdp_datagrams_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/unit/sim_search_request_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/unit/sim_hostile_datagrams_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/unit/sim_indicator_site_test.cpp
  LIBS quorvel_sim_lib)

quorvel_lab_test(sim_lab_test lab/sim_lab_test.sh)
