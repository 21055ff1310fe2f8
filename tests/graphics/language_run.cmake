# The whole program's language files across two starts (the program runs: netns only).
add_test(NAME graphics.language_run
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/language_run.sh $<TARGET_FILE:${TANZO_EXECUTABLE}>
          ${CMAKE_BINARY_DIR}/app-run/languages)
set_tests_properties(graphics.language_run PROPERTIES LABELS "graphics;netns" TIMEOUT 60)
