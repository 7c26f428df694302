# Tests of the device description fetch against a loopback server.

quorvel_unit_test(get_url_unit_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/unit/get_url_test.cpp
  LIBS quorvel_core quorvel_platform_testing)
