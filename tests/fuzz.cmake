# Fuzzing. The targets (libFuzzer, ASan + UBSan) are built only in a clang build configured
# with -DCITYWALK_FUZZ=ON, and outside "all":
#   CXX=clang++ CC=clang cmake -S . -B build/fuzz -G Ninja -DCITYWALK_FUZZ=ON
#   cmake --build build/fuzz --target citywalk_program_fuzz
#   build/fuzz/tests/citywalk_program_fuzz -timeout=10 tests/fuzz/corpus/program
# (see scripts/fuzz.sh). Every build runs each target once over its seed corpus in
# tests/fuzz/corpus/ (past findings included) as a test.
set(FUZZ_DIR ${CMAKE_CURRENT_SOURCE_DIR}/fuzz)

function(citywalk_fuzz_target name)
  set(libraries ${ARGN})
  if(CITYWALK_FUZZ)
    add_executable(citywalk_${name}_fuzz EXCLUDE_FROM_ALL ${FUZZ_DIR}/${name}_fuzz.cpp)
    target_link_libraries(citywalk_${name}_fuzz PRIVATE ${libraries})
    target_link_options(citywalk_${name}_fuzz PRIVATE -fsanitize=fuzzer)
  endif()
  add_executable(citywalk_${name}_corpus ${FUZZ_DIR}/${name}_fuzz.cpp
                 ${FUZZ_DIR}/replay_corpus.cpp)
  target_link_libraries(citywalk_${name}_corpus PRIVATE ${libraries})
  add_test(NAME fuzz_corpus_${name}
           COMMAND citywalk_${name}_corpus ${FUZZ_DIR}/corpus/${name})
  set_tests_properties(fuzz_corpus_${name} PROPERTIES TIMEOUT 300)
endfunction()

citywalk_fuzz_target(reader citywalk_scene)
citywalk_fuzz_target(bitmap citywalk_scene)
citywalk_fuzz_target(program citywalk_core platform_headless)
if(TARGET citywalk_map)
  citywalk_fuzz_target(map citywalk_map)
endif()
