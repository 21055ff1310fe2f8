# Whole-program runs of the application; ctest itself runs inside a private network namespace.
set(app_run_script ${CMAKE_CURRENT_LIST_DIR}/app_run.sh)
# Closes a window on a bare X server as a window manager's close button would.
find_package(X11 REQUIRED)
add_executable(close_window ${CMAKE_SOURCE_DIR}/tests/support/close_window.cpp)
target_link_libraries(close_window PRIVATE X11::X11)
foreach(mode IN ITEMS smoke bogus nodisplay xvfb twice)
  add_test(NAME shell.app_run_${mode}
    COMMAND bash ${app_run_script} ${mode} $<TARGET_FILE:${TANZO_EXECUTABLE}>
            ${CMAKE_BINARY_DIR}/app-run/${mode} $<TARGET_FILE:close_window>)
  set_tests_properties(shell.app_run_${mode} PROPERTIES LABELS "shell;netns" TIMEOUT 60)
endforeach()
set_tests_properties(shell.app_run_xvfb PROPERTIES LABELS "shell;netns;xvfb" TIMEOUT 180)
# The page compared on SDL's software renderer and on Mesa's OpenGL ones.
add_test(NAME shell.renderer_pixels_xvfb
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/renderer_pixels_xvfb.sh $<TARGET_FILE:tests_program>
          ${CMAKE_BINARY_DIR}/app-run/renderer_pixels)
set_tests_properties(shell.renderer_pixels_xvfb PROPERTIES
  ENVIRONMENT "${TANZO_TEST_ENVIRONMENT}" LABELS "shell;netns;xvfb" TIMEOUT 180)
