# Stages the run-time data beside the executable:
#   <build>/Resources/...   from resources/ (skin, glyphs, fonts, languages, explanations, personalities)
#   <build>/bin/audio/...   the click clips
# Generated resources are added to the same tree by the tools that make them.
set(TANZO_RESOURCES_DIR ${CMAKE_BINARY_DIR}/Resources)
set(TANZO_AUDIO_DIR ${CMAKE_BINARY_DIR}/bin/audio)
file(GLOB_RECURSE tanzo_resource_files CONFIGURE_DEPENDS
  LIST_DIRECTORIES false RELATIVE ${CMAKE_SOURCE_DIR}/resources ${CMAKE_SOURCE_DIR}/resources/*)
set(tanzo_staged "")
foreach(rel IN LISTS tanzo_resource_files)
  if(rel MATCHES "^audio/")
    string(REGEX REPLACE "^audio/" "" name ${rel})
    set(out ${TANZO_AUDIO_DIR}/${name})
  else()
    set(out ${TANZO_RESOURCES_DIR}/${rel})
  endif()
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resources/${rel} ${out}
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/${rel}
    COMMENT "Staging resources/${rel}" VERBATIM)
  list(APPEND tanzo_staged ${out})
endforeach()
add_custom_target(tanzo_resources ALL DEPENDS ${tanzo_staged})
add_custom_command(TARGET tanzo_resources POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TANZO_RESOURCES_DIR} ${TANZO_AUDIO_DIR})
add_dependencies(${TANZO_EXECUTABLE} tanzo_resources)
