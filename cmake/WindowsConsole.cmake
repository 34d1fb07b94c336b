# The command-line program cross-built for Windows: the same src/cli sources
# as on Linux, linked statically like the dialog.

# CLI11 is header-only. Its headers are copied into the build folder, so that
# the cross compiler sees them and none of the host's other headers.
find_path(TROVISK_CLI11_INCLUDE_DIR CLI/CLI.hpp PATHS /usr/include /usr/local/include
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT TROVISK_CLI11_INCLUDE_DIR)
  message(FATAL_ERROR "CLI11 headers not found (Debian: libcli11-dev); "
    "set TROVISK_CLI11_INCLUDE_DIR to the folder holding CLI/CLI.hpp")
endif()
set(TROVISK_CLI11_COPY ${CMAKE_BINARY_DIR}/cli11)
file(COPY ${TROVISK_CLI11_INCLUDE_DIR}/CLI DESTINATION ${TROVISK_CLI11_COPY})

file(GLOB TROVISK_WIN32_CLI_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/cli/*.cpp)
add_executable(trovisk ${TROVISK_WIN32_CLI_SOURCES})
target_include_directories(trovisk SYSTEM PRIVATE ${TROVISK_CLI11_COPY})
target_compile_definitions(trovisk PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(trovisk PRIVATE trovisk_core shell32)
target_link_options(trovisk PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(trovisk PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
include(${CMAKE_CURRENT_LIST_DIR}/VersionResource.cmake)
trovisk_add_version_resource(trovisk "Trovisk command line: RW5 raw data to Korvanta input file")
