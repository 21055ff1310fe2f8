# Whole-program runs of the application; ctest itself runs inside a private network namespace.
set(app_run_script ${CMAKE_CURRENT_LIST_DIR}/app_run.sh)
foreach(mode IN ITEMS smoke bogus xvfb)
  add_test(NAME shell.app_run_${mode}
    COMMAND bash ${app_run_script} ${mode} $<TARGET_FILE:${TANZO_EXECUTABLE}>
            ${CMAKE_BINARY_DIR}/app-run/${mode})
  set_tests_properties(shell.app_run_${mode} PROPERTIES LABELS "shell;netns" TIMEOUT 60)
endforeach()
set_tests_properties(shell.app_run_xvfb PROPERTIES LABELS "shell;netns;xvfb")
