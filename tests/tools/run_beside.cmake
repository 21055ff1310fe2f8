# The stand-in beside the program as scripts/run.sh puts it, in a namespace of its own, checked by a
# broadcast from the program's side.
if(TARGET tests_tools AND TARGET standin)
  add_test(NAME tools.run_beside
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/run_beside_check.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}
            $<TARGET_FILE:tests_tools>)
  set_tests_properties(tools.run_beside PROPERTIES LABELS "tools" TIMEOUT 60)
endif()
