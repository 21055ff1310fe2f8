# Presses end to end: instant clicks and key taps on FLASH, a playback button and a key 1-8, and a
# press whose row of playbacks changes before its release, checked at the stand-in controller
# (tests/screens/press_e2e.sh).
if(TARGET ${TANZO_EXECUTABLE} AND TARGET standin)
  add_test(NAME screens.press_e2e
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/screens/press_e2e.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
  set_tests_properties(screens.press_e2e PROPERTIES LABELS "xvfb" TIMEOUT 240)
endif()
