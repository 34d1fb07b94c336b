# The Windows dialog program and its UI test driver (cross-built with MinGW-w64).
enable_language(RC)
# The resource script is UTF-8.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

file(GLOB TROVISK_WIN32_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/src/app/win32/*.cpp)
add_executable(trovisk-gui WIN32
  ${TROVISK_WIN32_SOURCES} ${CMAKE_CURRENT_SOURCE_DIR}/src/app/win32/trovisk.rc)
target_link_libraries(trovisk-gui PRIVATE trovisk_core comctl32 comdlg32 gdi32)
# The .rc includes resource.h and names the icon beside it and the manifest,
# which carries the project's version and is generated.
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/src/app/win32/trovisk.manifest.in
  ${CMAKE_BINARY_DIR}/generated/trovisk.manifest @ONLY)
# The About box's version, as a header: windres loses the quotes of a string -D.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/trovisk_version.h
  CONTENT "// The project's version for the resource script.\n#define TROVISK_VERSION_TEXT \"@PROJECT_VERSION@\"\n"
  @ONLY)
target_include_directories(trovisk-gui PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src/app/win32
  ${CMAKE_BINARY_DIR}/generated)
set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/src/app/win32/trovisk.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/generated/trovisk.manifest;${CMAKE_BINARY_DIR}/generated/trovisk_version.h;${CMAKE_CURRENT_SOURCE_DIR}/src/app/win32/trovisk.ico;${CMAKE_CURRENT_SOURCE_DIR}/src/app/win32/resource.h")
include(${CMAKE_CURRENT_LIST_DIR}/VersionResource.cmake)
trovisk_add_version_resource(trovisk-gui "Trovisk: RW5 raw data to Korvanta input file")

# Wide API throughout; one self-contained .exe per architecture, no MinGW DLLs.
set(TROVISK_WIN32_LINK_OPTIONS -municode -static -static-libgcc -static-libstdc++)
target_compile_options(trovisk-gui PRIVATE -municode)
target_link_options(trovisk-gui PRIVATE ${TROVISK_WIN32_LINK_OPTIONS})
target_compile_definitions(trovisk-gui PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)

# The console driver that starts trovisk-gui.exe and checks it from outside.
add_executable(trovisk-ui-test ${CMAKE_CURRENT_SOURCE_DIR}/tests/win32/driver.cpp)
target_include_directories(trovisk-ui-test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
target_compile_definitions(trovisk-ui-test PRIVATE UNICODE _UNICODE NOMINMAX
  TROVISK_VERSION="${PROJECT_VERSION}")
target_compile_options(trovisk-ui-test PRIVATE -municode)
target_link_options(trovisk-ui-test PRIVATE ${TROVISK_WIN32_LINK_OPTIONS})
target_link_libraries(trovisk-ui-test PRIVATE gdi32)

set_target_properties(trovisk-gui trovisk-ui-test PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
