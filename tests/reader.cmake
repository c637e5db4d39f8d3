# Scene file reader: the unit tests write scenes with the scene writer; citywalk-check runs on
# a good and a bad scene and in a folder without one, checking exit codes and messages.
if(TARGET citywalk_tests AND TARGET citywalk_scenewriter)
  target_link_libraries(citywalk_tests PRIVATE citywalk_scenewriter)
endif()

if(TARGET citywalk-check)
  set(READER_DATA ${CMAKE_CURRENT_SOURCE_DIR}/data/reader)
  foreach(case good bad missing)
    set(scene ${READER_DATA}/${case}.mts)
    if(case STREQUAL "missing")
      set(scene none)
    endif()
    add_test(NAME reader_check_${case}
             COMMAND ${CMAKE_COMMAND} -DCHECK=$<TARGET_FILE:citywalk-check> -DSCENE=${scene}
                     -DEXPECT=${READER_DATA}/${case}.expect
                     -DEMPTY_DIR=${CMAKE_CURRENT_BINARY_DIR}/reader_check_empty
                     -P ${READER_DATA}/run_check.cmake)
    set_tests_properties(reader_check_${case} PROPERTIES
                         ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
  endforeach()
endif()

# Fuzzing the reader needs clang's libFuzzer: configure with CXX=clang++ and run
#   citywalk_reader_fuzz -max_len=65536 <corpus folder>
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_executable(citywalk_reader_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/reader_fuzz.cpp
                 ${CMAKE_SOURCE_DIR}/src/scene/reader.cpp ${CMAKE_SOURCE_DIR}/src/scene/reader_lists.cpp
                 ${CMAKE_SOURCE_DIR}/src/scene/reader_stream.cpp
                 ${CMAKE_SOURCE_DIR}/src/scene/scene_fields.cpp ${CMAKE_SOURCE_DIR}/src/scene/scene.cpp)
  target_include_directories(citywalk_reader_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(citywalk_reader_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(citywalk_reader_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
endif()
