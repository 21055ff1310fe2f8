# The click-sound tests play the clips the build draws beside the executable.
if(TARGET tests_shell AND TARGET tanzo_drawn_resources)
  add_dependencies(tests_shell tanzo_drawn_resources)
endif()

# The whole program without a usable audio device: silent, but running.
add_test(NAME shell.no_audio_run
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/no_audio_run.sh $<TARGET_FILE:${TANZO_EXECUTABLE}>
          ${CMAKE_BINARY_DIR}/app-run/no-audio)
set_tests_properties(shell.no_audio_run PROPERTIES LABELS "shell;netns" TIMEOUT 60)
