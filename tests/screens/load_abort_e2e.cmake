# A show load aborted while the controller answers slowly, end to end: the patch page is compared
# with what the controller holds (tests/screens/load_abort_e2e.sh).
if(TARGET ${TANZO_EXECUTABLE} AND TARGET standin)
  add_test(NAME screens.load_abort_e2e
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/screens/load_abort_e2e.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
  set_tests_properties(screens.load_abort_e2e PROPERTIES LABELS "xvfb" TIMEOUT 240)
endif()
