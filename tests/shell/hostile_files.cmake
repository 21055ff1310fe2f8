# The whole program starting over deep, truncated and oversized files; ctest itself runs inside a
# private network namespace.
add_test(NAME shell.hostile_files
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/hostile_files.sh $<TARGET_FILE:${TANZO_EXECUTABLE}>
          ${CMAKE_BINARY_DIR}/hostile-files)
set_tests_properties(shell.hostile_files PROPERTIES LABELS "shell;netns" TIMEOUT 300)
