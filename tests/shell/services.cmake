# Extra runs of tests_shell for the process services.

# The log written from several threads at once, also under ThreadSanitizer.
add_test(NAME shell.services.LoggerThreads
  COMMAND $<TARGET_FILE:tests_shell> --gtest_filter=LoggerThreads.*)
set_tests_properties(shell.services.LoggerThreads PROPERTIES
  ENVIRONMENT "${TANZO_TEST_ENVIRONMENT}" LABELS "shell;threads")
