# Extra runs of tests_shell for the process services.

# The log written from several threads at once, also under ThreadSanitizer.
add_test(NAME shell.services.LoggerThreads
  COMMAND $<TARGET_FILE:tests_shell> --gtest_filter=LoggerThreads.*)
set_tests_properties(shell.services.LoggerThreads PROPERTIES
  ENVIRONMENT "${TANZO_TEST_ENVIRONMENT}" LABELS "shell;threads")

# Local addresses, in namespaces of their own: loopback alone lists nothing, and an address
# added on loopback is listed alone (with port 0).
add_test(NAME shell.services.AddressesLoopbackOnly
  COMMAND unshare -n sh -c "ip link set lo up && exec \"$0\" --gtest_filter=PlatformNetns.*"
          $<TARGET_FILE:tests_shell>)
add_test(NAME shell.services.AddressesOneAlias
  COMMAND unshare -n sh -c "ip link set lo up && ip addr add 10.99.0.1/32 dev lo label lo:1 && exec \"$0\" --gtest_filter=PlatformNetns.*"
          $<TARGET_FILE:tests_shell>)
set_tests_properties(shell.services.AddressesLoopbackOnly PROPERTIES
  ENVIRONMENT "${TANZO_TEST_ENVIRONMENT};TANZO_EXPECTED_ADDRESSES=none" LABELS "shell;netns")
set_tests_properties(shell.services.AddressesOneAlias PROPERTIES
  ENVIRONMENT "${TANZO_TEST_ENVIRONMENT};TANZO_EXPECTED_ADDRESSES=10.99.0.1:0" LABELS "shell;netns")
