# The interface watch in a network namespace of its own, where the test
# adds and takes away addresses on loopback without disturbing the tests beside it.
add_test(NAME shell.services.InterfaceWatch
  COMMAND unshare -n sh -c "ip link set lo up && exec \"$0\" --gtest_filter=InterfaceWatchNetns.*"
          $<TARGET_FILE:tests_shell>)
set_tests_properties(shell.services.InterfaceWatch PROPERTIES
  ENVIRONMENT "${TANZO_TEST_ENVIRONMENT};TANZO_OWN_NAMESPACE=1" LABELS "shell;netns")
