# Tests of the platform's sound, program start, search path, temporary
# directory and registry services.

quorvel_unit_test(platform_services_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/unit/platform_files_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/unit/platform_shell_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/unit/platform_sound_test.cpp
  LIBS quorvel_platform quorvel_platform_testing)
# The tone synthesis is internal to the platform; its tests reach its header.
target_include_directories(platform_services_tests PRIVATE ${CMAKE_SOURCE_DIR}/platform/qt)
