# Show files end to end: the model root's device link against the stand-in controller as a
# process beside it, both inside the private namespace ctest runs in.
if(TARGET tests_model AND TARGET standin)
  add_dependencies(tests_model standin)
  add_test(NAME model.show_standin
    COMMAND $<TARGET_FILE:tests_model> --gtest_filter=ShowStandin.*)
  set_tests_properties(model.show_standin PROPERTIES
    ENVIRONMENT "${TANZO_TEST_ENVIRONMENT};TANZO_SHOW_STANDIN=1"
    LABELS "model;threads;netns" TIMEOUT 240)
endif()
