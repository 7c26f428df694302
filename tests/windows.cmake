# The tests that build unchanged for Windows, run under Wine (the
# toolchain's emulator) in a prefix of the build's own. GoogleTest is built
# for Windows from Debian's sources.

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

# The test main of the Linux tests, with the namespace made by the wrapper.
add_library(quorvel_windows_test_main STATIC EXCLUDE_FROM_ALL
  ${CMAKE_SOURCE_DIR}/tests/support/test_main.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/network_isolation_wine.cpp)
target_include_directories(quorvel_windows_test_main PUBLIC ${CMAKE_SOURCE_DIR}/tests/support)
target_link_libraries(quorvel_windows_test_main PUBLIC gtest ws2_32)

function(quorvel_windows_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} EXCLUDE_FROM_ALL ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE gtest_main ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  target_link_options(${name} PRIVATE -static)
  quorvel_strict(${name})
  add_dependencies(windows_tests ${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT 120 ENVIRONMENT "${QUORVEL_WINE_ENVIRONMENT}")
endfunction()

# A test program of the dialog or the sockets: in a namespace and on a
# display of its own (tests/support/wine_in_namespace.sh), one at a time, as
# each restarts the prefix's Wine services inside its namespace. EXCLUDE
# names the tests that cannot run under Wine, each with its reason beside it.
function(quorvel_windows_isolated_test name label)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;EXCLUDE" ${ARGN})
  add_executable(${name} EXCLUDE_FROM_ALL ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE quorvel_windows_test_main ${ARG_LIBS})
  target_link_options(${name} PRIVATE -static)
  quorvel_strict(${name})
  add_dependencies(windows_tests ${name})
  set(filter "")
  if(ARG_EXCLUDE)
    list(JOIN ARG_EXCLUDE ":" excluded)
    set(filter "--gtest_filter=-${excluded}")
  endif()
  add_test(NAME ${name}
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/support/wine_in_namespace.sh $<TARGET_FILE:${name}> ${filter})
  set_tests_properties(${name} PROPERTIES LABELS ${label} TIMEOUT 300 RUN_SERIAL TRUE
    ENVIRONMENT "${QUORVEL_WINE_ENVIRONMENT}")
endfunction()

set(tests ${CMAKE_SOURCE_DIR}/tests/unit)
quorvel_windows_unit_test(ssdp_message_unit_tests SOURCES ${tests}/ssdp_message_test.cpp LIBS quorvel_ssdp_text)
# Wine's drive Z: is the Linux root.
target_compile_definitions(ssdp_message_unit_tests PRIVATE QUORVEL_GOLDEN_DIR="Z:${CMAKE_SOURCE_DIR}/tests/golden")
quorvel_windows_unit_test(url_parts_unit_tests SOURCES ${tests}/url_parts_test.cpp LIBS quorvel_ssdp_text)
quorvel_windows_unit_test(program_options_unit_tests SOURCES ${tests}/program_options_test.cpp LIBS quorvel_core)
quorvel_windows_unit_test(ui_rules_unit_tests SOURCES ${tests}/ui_rules_test.cpp LIBS quorvel_core)
quorvel_windows_unit_test(alive_rules_unit_tests SOURCES ${tests}/alive_rules_test.cpp LIBS quorvel_core)
quorvel_windows_unit_test(list_output_unit_tests SOURCES ${tests}/list_output_test.cpp LIBS quorvel_core)

set(dialog ${CMAKE_SOURCE_DIR}/tests/dialog)
quorvel_windows_isolated_test(foundation_dialog_tests dialog
  SOURCES ${dialog}/network_startup_test.cpp
  LIBS quorvel_core quorvel_platform_testing)

# A parent for the lab test that gives the program a pipe nobody reads.
add_executable(unread_pipe_parent EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tests/lab/tools/windows/unread_pipe_parent.cpp)
target_link_options(unread_pipe_parent PRIVATE -static)
quorvel_strict(unread_pipe_parent)
add_dependencies(windows_tests unread_pipe_parent)
