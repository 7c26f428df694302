# The real dialog among hostile devices, and under a flood of foreign
# datagrams, on a network of namespaces; included from tests/CMakeLists.txt.

# The real dialog, offscreen, reporting its list, the longest hold of its
# event loop and its memory (also used by the stall benchmark).
add_executable(quorvel-hostile-watcher ${CMAKE_CURRENT_LIST_DIR}/lab/tools/hostile_watcher.cpp)
target_link_libraries(quorvel-hostile-watcher PRIVATE quorvel_core quorvel_platform_testing)
quorvel_strict(quorvel-hostile-watcher)

# A bounded sender of foreign SSDP traffic.
add_executable(ssdp-flood ${CMAKE_CURRENT_LIST_DIR}/lab/tools/ssdp_flood.cpp)
target_link_libraries(ssdp-flood PRIVATE quorvel_ssdp_text)
quorvel_strict(ssdp-flood)

foreach(test hostile_devices_lab_test load_lab_test)
  quorvel_lab_test(${test} lab/${test}.sh)
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
    "QUORVEL_HOSTILE_WATCHER=$<TARGET_FILE:quorvel-hostile-watcher>"
    "SSDP_FLOOD=$<TARGET_FILE:ssdp-flood>")
endforeach()
