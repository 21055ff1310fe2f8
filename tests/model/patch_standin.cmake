# The patch and the programmer end to end: the model root's device link against the stand-in
# controller as a process beside it, both inside the private namespace ctest runs in.
if(TARGET tests_model AND TARGET standin)
  add_dependencies(tests_model standin)
  add_test(NAME model.patch_standin
    COMMAND $<TARGET_FILE:tests_model> --gtest_filter=PatchStandin.*:PatchStartUp.*)
  set_tests_properties(model.patch_standin PROPERTIES
    ENVIRONMENT "${TANZO_TEST_ENVIRONMENT};TANZO_PATCH_STANDIN=1"
    LABELS "model;threads;netns" TIMEOUT 120)
endif()
