# The stand-in controller's tests link its modules, and the end-to-end cases start its executable.
if(TARGET tests_tools AND TARGET standin_core)
  target_link_libraries(tests_tools PRIVATE standin_core)
  add_dependencies(tests_tools standin)
endif()
