# A Windows program's version resource, from the one version of project().
function(trovisk_add_version_resource target description)
  set(TROVISK_EXE_TARGET ${target})
  set(TROVISK_EXE_NAME ${target}.exe)
  set(TROVISK_EXE_DESCRIPTION "${description}")
  set(rc ${CMAKE_BINARY_DIR}/generated/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version_info.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
