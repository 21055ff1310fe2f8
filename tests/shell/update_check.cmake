# The update check's start-up bound takes its full five seconds: labelled "slow".
if(TARGET tests_shell)
  file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/tests_shell_slow.cmake CONTENT
    "foreach(t IN LISTS tests_shell_TESTS)\n  if(t MATCHES \"^shell\\\\.UpdateCheckStartUp\\\\.\")\n    set_tests_properties(\${t} PROPERTIES LABELS \"shell;slow\")\n  endif()\nendforeach()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_CURRENT_BINARY_DIR}/tests_shell_slow.cmake)
endif()
