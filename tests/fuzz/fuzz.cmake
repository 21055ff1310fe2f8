# One libFuzzer program per reader, built with clang when TANZO_FUZZ is on (scripts/fuzz.sh): the
# whole library is then compiled with the fuzzer's coverage and the sanitizers.
if(TANZO_FUZZ)
  file(GLOB fuzz_corpora LIST_DIRECTORIES true ${CMAKE_CURRENT_LIST_DIR}/corpus/*)
  foreach(corpus IN LISTS fuzz_corpora)
    get_filename_component(name ${corpus} NAME)
    add_executable(fuzz_${name} ${CMAKE_CURRENT_LIST_DIR}/libfuzzer_main.cpp
                   ${CMAKE_CURRENT_LIST_DIR}/reader_targets.cpp)
    target_compile_definitions(fuzz_${name} PRIVATE TANZO_FUZZ_TARGET="${name}")
    target_link_libraries(fuzz_${name} PRIVATE tanzo)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  endforeach()
endif()
