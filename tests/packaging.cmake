# Tests of the command line, list mode, installation, the Debian package and
# the demo.

quorvel_unit_test(command_line_unit_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/unit/program_options_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/unit/list_output_test.cpp
  LIBS quorvel_core)

quorvel_lab_test(list_mode_lab_test lab/list_mode_lab_test.sh)
quorvel_lab_test(watch_mode_lab_test lab/watch_mode_lab_test.sh)
quorvel_lab_test(demo_lab_test lab/demo_lab_test.sh)

# A script test of the built program and its installation; exits 77 (skipped,
# with the reason) when a tool it needs is missing.
function(quorvel_script_test name label script)
  add_test(NAME ${name} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/${script})
  set_tests_properties(${name} PROPERTIES
    LABELS ${label}
    SKIP_RETURN_CODE 77
    TIMEOUT 180
    ENVIRONMENT "QUORVEL=$<TARGET_FILE:quorvel>;QUORVEL_SOURCE_DIR=${PROJECT_SOURCE_DIR};QUORVEL_BUILD_DIR=${PROJECT_BINARY_DIR};CPACK_COMMAND=${CMAKE_CPACK_COMMAND}")
endfunction()

quorvel_script_test(command_line_test cli packaging/command_line_test.sh)
quorvel_script_test(install_test packaging packaging/install_test.sh)
quorvel_script_test(deb_package_test packaging packaging/deb_package_test.sh)
