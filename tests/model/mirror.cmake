# The mirror tests start the stand-in controller beside the model and run the device link's threads;
# the library's read-ahead tests and the show list's start their workers.
if(TARGET tests_model AND TARGET standin)
  add_dependencies(tests_model standin)
  file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/tests_model_threads.cmake CONTENT
    "foreach(t IN LISTS tests_model_TESTS)\n  if(t MATCHES \"^model\\\\.(Mirror|PersonalityReadAhead|ShowFileList)\")\n    set_tests_properties(\${t} PROPERTIES LABELS \"model;threads\")\n  endif()\nendforeach()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_CURRENT_BINARY_DIR}/tests_model_threads.cmake)
endif()
