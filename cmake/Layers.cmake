# The layers, each a static library of its folder that links only the layers below it, bottom up.
# A layer compiles against an include root of its own in the build tree, which offers its own
# folder and those of the layers it builds on (and theirs) and nothing else: an include of a
# layer above fails to compile. Each layer is also linked whole into a small check program with
# only the layers below it, so that a call into a layer above (declared by hand, or declared below
# and defined above) fails to link. program/, the entry point and the composition root, sits
# above every layer.
set(TANZO_LAYERS foundation shell link model graphics widgets screens)
set(TANZO_BELOW_foundation "")
set(TANZO_BELOW_shell foundation)
set(TANZO_BELOW_link foundation shell)
set(TANZO_BELOW_model foundation shell link)
set(TANZO_BELOW_graphics foundation shell)
# The playback button, the fixture tiles and the cue grid show model objects.
set(TANZO_BELOW_widgets foundation shell graphics model)
set(TANZO_BELOW_screens foundation shell link model graphics widgets)
set(TANZO_BELOW_program ${TANZO_LAYERS})

# The heavy headers nearly every file reads, compiled once for all layers: CI builds everything
# more than once.
option(TANZO_PRECOMPILED_HEADERS "Precompile the common headers" ON)

set(check_main ${CMAKE_BINARY_DIR}/layer-check/main.cpp)
file(WRITE ${check_main} "int main() { return 0; }\n")

foreach(layer IN LISTS TANZO_LAYERS ITEMS program)
  # Everything the layer's headers may reach: the layers below and, through them, theirs.
  set(reach ${TANZO_BELOW_${layer}})
  foreach(below IN LISTS TANZO_BELOW_${layer})
    list(APPEND reach ${TANZO_REACH_${below}})
  endforeach()
  list(REMOVE_DUPLICATES reach)
  set(TANZO_REACH_${layer} ${reach})

  set(root ${CMAKE_BINARY_DIR}/include-roots/${layer})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root})
  foreach(folder IN LISTS layer reach)
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endforeach()

  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${layer}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/(program/main|shell/renderer_probe_main)\\.cpp$")
  add_library(tanzo_${layer} STATIC ${sources})
  target_include_directories(tanzo_${layer} PRIVATE ${root})
  target_link_libraries(tanzo_${layer} PUBLIC tanzo_deps)
  foreach(below IN LISTS TANZO_BELOW_${layer})
    target_link_libraries(tanzo_${layer} PUBLIC tanzo_${below})
  endforeach()
  if(TANZO_PRECOMPILED_HEADERS)
    if(layer STREQUAL "foundation")
      target_precompile_headers(tanzo_foundation PRIVATE
        <algorithm> <cstdint> <functional> <map> <memory> <string> <vector>
        <SDL.h> <boost/filesystem.hpp> <tinyxml.h>)
    else()
      target_precompile_headers(tanzo_${layer} REUSE_FROM tanzo_foundation)
    endif()
  endif()

  add_executable(tanzo_layer_check_${layer} ${check_main})
  target_link_libraries(tanzo_layer_check_${layer} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,tanzo_${layer}>")
  set_target_properties(tanzo_layer_check_${layer} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layer-check)
endforeach()

target_compile_definitions(tanzo_shell PUBLIC TANZO_DEFAULT_UPDATE_URL="${TANZO_DEFAULT_UPDATE_URL}")

# Tests, tools and benchmarks reach every layer from the repository's root.
add_library(tanzo INTERFACE)
target_include_directories(tanzo INTERFACE ${CMAKE_SOURCE_DIR})
target_link_libraries(tanzo INTERFACE tanzo_program)
