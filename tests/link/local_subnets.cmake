# The local subnets in a network namespace of their own, where the test adds and takes away
# addresses on loopback without disturbing the tests beside it.
add_test(NAME link.LocalSubnetsNetns
  COMMAND unshare -n sh -c "ip link set lo up && exec \"$0\" --gtest_filter=LocalSubnetsNetns.*"
          $<TARGET_FILE:tests_link>)
set_tests_properties(link.LocalSubnetsNetns PROPERTIES
  ENVIRONMENT "${TANZO_TEST_ENVIRONMENT};TANZO_OWN_NAMESPACE=1" LABELS "link;netns")
