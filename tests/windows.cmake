# The tests that build unchanged for Windows, run under Wine (the
# toolchain's emulator) in a prefix of the build's own. GoogleTest is built
# for Windows from Debian's sources. The others need the test seams of the
# Windows platform, which are still to come.

find_path(QUORVEL_GTEST_SOURCE CMakeLists.txt PATHS /usr/src/googletest NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT QUORVEL_GTEST_SOURCE)
  message(STATUS "No GoogleTest sources in /usr/src/googletest: the Windows tests are not built")
  return()
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${QUORVEL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_custom_target(windows_tests)
set(QUORVEL_WINE_ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;WINEDEBUG=-all")

function(quorvel_windows_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} EXCLUDE_FROM_ALL ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE gtest_main ${ARG_LIBS})
  target_link_options(${name} PRIVATE -static)
  quorvel_strict(${name})
  add_dependencies(windows_tests ${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT 120 ENVIRONMENT "${QUORVEL_WINE_ENVIRONMENT}")
endfunction()

set(tests ${CMAKE_SOURCE_DIR}/tests/unit)
quorvel_windows_unit_test(ssdp_message_unit_tests SOURCES ${tests}/ssdp_message_test.cpp LIBS quorvel_ssdp_text)
# Wine's drive Z: is the Linux root.
target_compile_definitions(ssdp_message_unit_tests PRIVATE QUORVEL_GOLDEN_DIR="Z:${CMAKE_SOURCE_DIR}/tests/golden")
quorvel_windows_unit_test(url_parts_unit_tests SOURCES ${tests}/url_parts_test.cpp LIBS quorvel_ssdp_text)
quorvel_windows_unit_test(program_options_unit_tests SOURCES ${tests}/program_options_test.cpp LIBS quorvel_core)
quorvel_windows_unit_test(ui_rules_unit_tests SOURCES ${tests}/ui_rules_test.cpp LIBS quorvel_core)
quorvel_windows_unit_test(alive_rules_unit_tests SOURCES ${tests}/alive_rules_test.cpp LIBS quorvel_core)

# A parent for the lab test that gives the program a pipe nobody reads.
add_executable(unread_pipe_parent EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tests/lab/tools/windows/unread_pipe_parent.cpp)
target_link_options(unread_pipe_parent PRIVATE -static)
quorvel_strict(unread_pipe_parent)
add_dependencies(windows_tests unread_pipe_parent)
