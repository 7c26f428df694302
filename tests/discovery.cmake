# Tests of the indicator rows, the alive handling, the dispatch and the
# discovery cycle.

add_library(quorvel_dialog_harness STATIC
  ${CMAKE_CURRENT_LIST_DIR}/support/dialog_harness.cpp
  ${CMAKE_CURRENT_LIST_DIR}/support/loopback_http_server.cpp
  ${CMAKE_CURRENT_LIST_DIR}/support/standard_output_capture_linux.cpp)
target_include_directories(quorvel_dialog_harness PUBLIC ${CMAKE_CURRENT_LIST_DIR}/support)
target_link_libraries(quorvel_dialog_harness PUBLIC quorvel_core quorvel_platform_testing)
quorvel_strict(quorvel_dialog_harness)

quorvel_unit_test(discovery_unit_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/unit/alive_rules_test.cpp
  LIBS quorvel_core)

quorvel_dialog_test(discovery_dialog_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/dialog/discovery_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialog/discovery_burst_test.cpp
  LIBS quorvel_dialog_harness)

# The real dialog, offscreen, writing its list for the lab tests to read.
add_executable(quorvel-list-watcher ${CMAKE_CURRENT_LIST_DIR}/lab/tools/list_watcher.cpp)
target_link_libraries(quorvel-list-watcher PRIVATE quorvel_core quorvel_platform_testing)
quorvel_strict(quorvel-list-watcher)

quorvel_lab_test(discovery_lab_test lab/discovery_lab_test.sh)
