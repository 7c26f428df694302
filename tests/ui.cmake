# Tests of the main dialog's window side and the user's actions.

quorvel_unit_test(ui_unit_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/unit/ui_rules_test.cpp
  LIBS quorvel_core)

quorvel_dialog_test(ui_dialog_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialog/main_dialog_test.cpp ${CMAKE_CURRENT_LIST_DIR}/dialog/main_dialog_linux_test.cpp
  LIBS quorvel_dialog_harness)
quorvel_file_protection_test(overview_page ui_dialog_tests "MainDialogTest.OverviewPage*")
