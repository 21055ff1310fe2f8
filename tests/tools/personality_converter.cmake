# The shipped personality library: the converter's mapping is unit-tested in tests_tools, and two
# tests run the converter itself.
#   tools.personality_library_reproduces: converting the installed qlcplus-data again gives the
#     committed file byte for byte (skipped when the package is not installed);
#   tools.personality_library_data: the committed file passes the converter's check.
# Run as a script (cmake -P) this file performs the first test.
if(CMAKE_SCRIPT_MODE_FILE)
  if(NOT IS_DIRECTORY "${FIXTURES}")
    message("SKIPPED: ${FIXTURES} is absent; install qlcplus-data (scripts/setup.sh) to check the library")
    return()
  endif()
  get_filename_component(out_dir "${OUTPUT}" DIRECTORY)
  file(MAKE_DIRECTORY "${out_dir}")
  file(REMOVE "${OUTPUT}")
  execute_process(COMMAND "${CONVERTER}" "${FIXTURES}" "${OUTPUT}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the converter failed (${result})")
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUTPUT}" "${COMMITTED}" RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${OUTPUT} differs from ${COMMITTED}: the converter or the installed qlcplus-data "
                        "changed; look at the difference and commit the new file if it is right")
  endif()
  message("the converted library equals ${COMMITTED}")
  return()
endif()

target_link_libraries(tests_tools PRIVATE personality_conversion)

add_test(NAME tools.personality_library_reproduces
  COMMAND ${CMAKE_COMMAND}
    -DCONVERTER=$<TARGET_FILE:personality_converter>
    -DFIXTURES=/usr/share/qlcplus/fixtures
    -DOUTPUT=${CMAKE_BINARY_DIR}/test-output/personalities.xml
    -DCOMMITTED=${CMAKE_SOURCE_DIR}/resources/personalities/personalities.xml
    -P ${CMAKE_CURRENT_LIST_FILE})
set_tests_properties(tools.personality_library_reproduces PROPERTIES
  LABELS tools SKIP_REGULAR_EXPRESSION "SKIPPED:")

add_test(NAME tools.personality_library_data
  COMMAND personality_converter --check ${CMAKE_SOURCE_DIR}/resources/personalities/personalities.xml)
set_tests_properties(tools.personality_library_data PROPERTIES LABELS tools)
