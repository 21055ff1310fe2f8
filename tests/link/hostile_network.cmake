# The whole program under forged discovery answers and floods of datagrams, beside the stand-in in
# private network namespaces (tests/link/hostile_network.sh); the flood is sent by a small tool.
add_executable(datagram_flood ${CMAKE_SOURCE_DIR}/tests/support/datagram_flood.cpp)
if(TARGET ${TANZO_EXECUTABLE} AND TARGET standin)
  add_test(NAME link.hostile_network
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/hostile_network.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}
            $<TARGET_FILE:datagram_flood>)
  set_tests_properties(link.hostile_network PROPERTIES LABELS "link;netns;xvfb" TIMEOUT 420)
endif()
