# Only in the sanitized tree: a sanitizer report of a program that a lab
# script starts in the background must fail the run, even when the script
# itself succeeds.

if(QUORVEL_SANITIZE)
  add_executable(leaking-program ${CMAKE_CURRENT_LIST_DIR}/sanitizers/leaking_program.cpp)
  quorvel_strict(leaking-program)

  add_test(NAME sanitizer_report_fails_background_run
    COMMAND bash -c [=[
      output=$("$0" --catch-reports bash -c '"$0" >/dev/null 2>&1 & wait; exit 0' "$1" 2>&1)
      status=$?
      [ $status -eq 1 ] && grep -q "ERROR: LeakSanitizer: detected memory leaks" <<<"$output" ||
        { echo "status $status, output: $output"; exit 1; }
    ]=] ${CMAKE_SOURCE_DIR}/scripts/sanitized.sh $<TARGET_FILE:leaking-program>)
  set_tests_properties(sanitizer_report_fails_background_run PROPERTIES LABELS unit)
endif()
