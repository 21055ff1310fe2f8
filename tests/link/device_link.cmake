# The device link with its threads: a scripted controller inside the test process, and the
# stand-in controller on a second host made of two network namespaces. Both are also run under
# ThreadSanitizer (label "threads").

add_test(NAME link.threads.LinkThreads
  COMMAND $<TARGET_FILE:tests_link> --gtest_filter=LinkThreads.*)
set_tests_properties(link.threads.LinkThreads PROPERTIES
  ENVIRONMENT "${TANZO_TEST_ENVIRONMENT}" LABELS "link;threads" TIMEOUT 120)

add_test(NAME link.threads.TwoHosts
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/two_hosts.sh $<TARGET_FILE:tests_link> $<TARGET_FILE:standin>
          ${CMAKE_BINARY_DIR}/two-hosts)
set_tests_properties(link.threads.TwoHosts PROPERTIES
  ENVIRONMENT "${TANZO_TEST_ENVIRONMENT}" LABELS "link;threads;netns" TIMEOUT 300)
