# The Windows program is one file that runs with nothing installed: the
# language runtimes linked in statically, the GUI subsystem, and the icon and
# version information in its resources.
enable_language(RC)

set_target_properties(quorvel PROPERTIES WIN32_EXECUTABLE ON)
target_link_options(quorvel PRIVATE -static -static-libgcc -static-libstdc++ -s)

# The icon file is made from res/'s icon by a tool for the build machine.
find_program(QUORVEL_HOST_CXX NAMES c++ g++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(QUORVEL_ICON_TOOL ${CMAKE_BINARY_DIR}/quorvel-icon-ico)
set(QUORVEL_ICON ${CMAKE_BINARY_DIR}/quorvel.ico)
add_custom_command(
  OUTPUT ${QUORVEL_ICON}
  COMMAND ${QUORVEL_HOST_CXX} -std=c++20 -I${CMAKE_SOURCE_DIR} -I${CMAKE_SOURCE_DIR}/platform/include
          -I${CMAKE_SOURCE_DIR}/platform/qt/include ${CMAKE_SOURCE_DIR}/platform/tools/icon_ico.cpp
          ${CMAKE_SOURCE_DIR}/res/icon_mainframe.cpp -o ${QUORVEL_ICON_TOOL}
  COMMAND ${QUORVEL_ICON_TOOL} ${QUORVEL_ICON}
  DEPENDS ${CMAKE_SOURCE_DIR}/platform/tools/icon_ico.cpp ${CMAKE_SOURCE_DIR}/res/icon_mainframe.cpp
  COMMENT "Writing the program's icon file"
  VERBATIM)

configure_file(${CMAKE_CURRENT_LIST_DIR}/program.rc.in ${CMAKE_BINARY_DIR}/program.rc @ONLY)
target_sources(quorvel PRIVATE ${CMAKE_BINARY_DIR}/program.rc)
set_source_files_properties(${CMAKE_BINARY_DIR}/program.rc PROPERTIES
  OBJECT_DEPENDS "${QUORVEL_ICON};${CMAKE_CURRENT_LIST_DIR}/program.manifest")
