# The resource check reads the same manifest as the generator, and needs the drawn and staged
# resources in the build tree before it runs.
if(TARGET tests_tools)
  target_sources(tests_tools PRIVATE ${CMAKE_SOURCE_DIR}/tools/resgen/manifest.cpp)
  add_dependencies(tests_tools tanzo_drawn_resources tanzo_resources)
endif()

add_test(NAME tools.resgen_reproducible
  COMMAND ${CMAKE_COMMAND} -DRESGEN=$<TARGET_FILE:resgen> -DSOURCE=${CMAKE_SOURCE_DIR}
          -DWORK=${CMAKE_BINARY_DIR}/resgen-reproducible
          -P ${CMAKE_SOURCE_DIR}/tools/resgen/reproducible.cmake)
set_tests_properties(tools.resgen_reproducible PROPERTIES LABELS tools TIMEOUT 300)
