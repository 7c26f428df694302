# Sorting the indicator list by its header and the sort mark.

quorvel_dialog_test(sorting_dialog_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialog/column_sorting_test.cpp
  LIBS quorvel_dialog_harness)
