# The click-sound tests play the clips the build draws beside the executable, and ask the mixer
# itself what plays (the program opens the library only when it makes its player).
if(TARGET tests_shell AND TARGET tanzo_drawn_resources)
  add_dependencies(tests_shell tanzo_drawn_resources)
endif()
if(TARGET tests_shell)
  target_link_libraries(tests_shell PRIVATE SDL2_mixer::SDL2_mixer)
endif()

# The whole program without a usable audio device: silent, but running.
add_test(NAME shell.no_audio_run
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/no_audio_run.sh $<TARGET_FILE:${TANZO_EXECUTABLE}>
          ${CMAKE_BINARY_DIR}/app-run/no-audio)
set_tests_properties(shell.no_audio_run PROPERTIES LABELS "shell;netns" TIMEOUT 60)
