# Stages the run-time data beside the executable:
#   <build>/Resources/...   from resources/ (fonts, languages, explanations, personalities)
#   <build>/bin/audio/...   the click clips
# and draws the generated part of it with tools/resgen (the tool's own CMakeLists.txt builds
# it; tools are added after this file, which is fine for the dependencies below):
#   <build>/Resources/skin/*.png, <build>/Resources/glyphs/<page>/*.png, <build>/bin/audio/*.wav
# The skin and glyph folders hold nothing but what resgen draws: the loaders turn every file
# there into an image set, so resources/ has no skin or glyphs folder of its own.
set(TANZO_RESOURCES_DIR ${CMAKE_BINARY_DIR}/Resources)
set(TANZO_AUDIO_DIR ${CMAKE_BINARY_DIR}/bin/audio)
file(GLOB_RECURSE tanzo_resource_files CONFIGURE_DEPENDS
  LIST_DIRECTORIES false RELATIVE ${CMAKE_SOURCE_DIR}/resources ${CMAKE_SOURCE_DIR}/resources/*)
set(tanzo_staged "")
foreach(rel IN LISTS tanzo_resource_files)
  if(rel MATCHES "^(skin|glyphs)/")
    message(FATAL_ERROR "resources/${rel}: skin and glyph pictures are drawn by tools/resgen "
                        "(add them to tools/resgen/manifest.txt)")
  endif()
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

# The drawn resources. The stamp stands for the whole set; resgen rewrites every file and
# removes pictures the manifest no longer lists. Leak detection is off for this one step so
# that a sanitizer build never fails to build over a library's start-up allocation; the
# reproducibility test runs resgen with the suite's own settings.
set(TANZO_RESGEN_STAMP ${CMAKE_BINARY_DIR}/resgen.stamp)
add_custom_command(OUTPUT ${TANZO_RESGEN_STAMP}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:resgen> --source ${CMAKE_SOURCE_DIR} --out ${CMAKE_BINARY_DIR}
          --stamp ${TANZO_RESGEN_STAMP}
  DEPENDS resgen
          ${CMAKE_SOURCE_DIR}/tools/resgen/manifest.txt
          ${CMAKE_SOURCE_DIR}/resources/fonts/arial.ttf
  COMMENT "Drawing the skin, the glyph pages and the click clips" VERBATIM)
add_custom_target(tanzo_drawn_resources ALL DEPENDS ${TANZO_RESGEN_STAMP})
add_dependencies(tanzo_drawn_resources tanzo_resources)
add_dependencies(${TANZO_EXECUTABLE} tanzo_drawn_resources)
