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
    ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-isolated;WINEDEBUG=-all")
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

add_library(quorvel_windows_dialog_harness STATIC EXCLUDE_FROM_ALL
  ${CMAKE_SOURCE_DIR}/tests/support/dialog_harness.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/loopback_http_server.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/standard_output_capture_windows.cpp)
target_include_directories(quorvel_windows_dialog_harness PUBLIC ${CMAKE_SOURCE_DIR}/tests/support)
target_link_libraries(quorvel_windows_dialog_harness PUBLIC quorvel_core quorvel_platform_testing gtest ws2_32)
quorvel_strict(quorvel_windows_dialog_harness)

quorvel_windows_isolated_test(discovery_dialog_tests dialog
  SOURCES ${dialog}/discovery_test.cpp ${dialog}/discovery_burst_test.cpp
  LIBS quorvel_windows_dialog_harness
  EXCLUDE
    # The system's interface entry has no index, and the addresses the test
    # makes up are in no table of the system's to look it up in.
    DiscoveryBurstTest.AllInterfacesSearchesOnEveryKeptInterfaceAndSkipsOneThatFails
    # Under Wine no console control event raised in-process (AllocConsole,
    # then GenerateConsoleCtrlEvent) reached the handler; the lab test sends
    # Ctrl+C from outside instead (SIGINT, which Wine turns into the event).
    DiscoveryTest.WatchPrintsEachChangeOnceAndSigtermEndsItWithZero)
quorvel_windows_isolated_test(sorting_dialog_tests dialog
  SOURCES ${dialog}/column_sorting_test.cpp
  LIBS quorvel_windows_dialog_harness
  EXCLUDE
    # Wine's header paints the sorted section's bitmap (which holds the
    # title and the mark, as checked) over the section's own shading and its
    # divider, which the test wants kept; how a Windows PC's header paints
    # it is not seen yet.
    ColumnSortingTest.TheSortedColumnAloneShowsTheMarkPointingDownThenUp)
quorvel_windows_isolated_test(ssdp_socket_unit_tests unit
  SOURCES ${tests}/ssdp_socket_test.cpp
  LIBS quorvel_core quorvel_platform_testing
  EXCLUDE
    # Wine reports no port-unreachable answer to a datagram socket (Windows
    # fails its next read with WSAECONNRESET), and an unbound socket has no
    # name on Windows to bind another one to.
    SsdpSocketReceiveTest.AReceiveErrorShowsTheRealErrorBoxAndClosesTheSocket
    SsdpSocketHeldReceiveTest.ReadErrorKeepsItsPlaceBetweenDatagrams
    # During a blocking call the datagrams wait in the system's sockets,
    # not in a queue of the platform's, so the test's peer cannot see them
    # taken one by one; afterwards each socket has one notice at a time in
    # the thread's queue (WSAAsyncSelect), so every socket's datagrams keep
    # their order, but one on the other socket may come between them.
    SsdpSocketHeldReceiveTest.DatagramsOnBothSocketsAndTicksAreDeliveredAfterTheWaitInTheirOrder)
quorvel_windows_isolated_test(get_url_unit_tests unit
  SOURCES ${tests}/get_url_test.cpp
  LIBS quorvel_core quorvel_platform_testing)
quorvel_windows_isolated_test(ui_dialog_tests dialog
  SOURCES ${dialog}/main_dialog_test.cpp
  LIBS quorvel_windows_dialog_harness
  EXCLUDE
    # The program reads the system's own command line (GetCommandLineA),
    # which a test cannot set in its own process; the lab test starts
    # quorvel.exe with its switches instead.
    StartUpTest.SwitchesAreReadFromTheCommandLineBeforeTheDialogRuns
    # A minimised window on Windows has no client area to paint: the
    # taskbar shows its icon.
    MinimisedDialogTest.PaintsTheIconCentredInTheClientArea)

# Not built for Windows, each for its reason:
# - main_dialog_linux_test.cpp: the Linux platform's own behaviour (the
#   dialog font following the desktop's, Qt's accessibility interfaces, the
#   overview page's mends against what other users plant in the shared
#   temporary directory); on Windows the system's dialog manager and list
#   view do the first two, and %TEMP% is the user's own.
# - log_message_test.cpp, platform_files_test.cpp: the log file's and the
#   temporary files' mends against links, FIFOs and other users' files are
#   the Linux platform's; Windows opens them with CreateFileA as the system
#   does, in the user's own %TEMP%.
# - platform_shell_test.cpp, platform_sound_test.cpp: the Linux stand-ins
#   for ShellExecuteA (xdg-open, a terminal for telnet) and Beep (ALSA);
#   on Windows both are the system's own.
# - sim_*_test.cpp: the simulator is a Linux tool, not part of the Windows
#   build.

# A parent for the lab test that gives the program a pipe nobody reads.
add_executable(unread_pipe_parent EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tests/lab/tools/windows/unread_pipe_parent.cpp)
target_link_options(unread_pipe_parent PRIVATE -static)
quorvel_strict(unread_pipe_parent)
add_dependencies(windows_tests unread_pipe_parent)
