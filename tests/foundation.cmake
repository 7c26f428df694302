# Tests of the diagnostic log, the SSDP text and socket, and the network start-up.

quorvel_unit_test(foundation_unit_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/unit/log_message_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/unit/ssdp_message_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/unit/ssdp_socket_test.cpp
  LIBS quorvel_core quorvel_platform_testing)
target_compile_definitions(foundation_unit_tests PRIVATE QUORVEL_GOLDEN_DIR="${CMAKE_CURRENT_LIST_DIR}/golden")
quorvel_file_protection_test(log_file foundation_unit_tests "LogFileTest.*")

quorvel_dialog_test(foundation_dialog_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/dialog/network_startup_test.cpp
  LIBS quorvel_core quorvel_platform_testing)

quorvel_lab_test(foundation_lab_test lab/foundation_lab_test.sh)
