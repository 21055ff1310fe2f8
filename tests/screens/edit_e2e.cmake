# The edit page end to end: the program under Xvfb beside the stand-in controller, in private
# network namespaces, driven with xdotool (tests/screens/edit_e2e.sh). The shortest session of
# the whole program beside the stand-in, it is also run under ThreadSanitizer (label "threads").
if(TARGET ${TANZO_EXECUTABLE} AND TARGET standin)
  add_test(NAME screens.edit_e2e
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/screens/edit_e2e.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
  set_tests_properties(screens.edit_e2e PROPERTIES LABELS "xvfb;threads" TIMEOUT 240)
endif()
