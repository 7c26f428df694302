# The URL split of the description fetch.

quorvel_unit_test(url_parts_unit_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/unit/url_parts_test.cpp
  LIBS quorvel_ssdp_text)
