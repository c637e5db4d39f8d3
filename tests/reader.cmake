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

# Fuzzing the reader needs clang's libFuzzer: configure with CXX=clang++, build the target
# citywalk_reader_fuzz (not part of "all") and run it on a folder of scene files.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(scene_src ${CMAKE_SOURCE_DIR}/src/scene)
  add_executable(citywalk_reader_fuzz EXCLUDE_FROM_ALL
                 ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/reader_fuzz.cpp ${scene_src}/reader.cpp
                 ${scene_src}/reader_lists.cpp ${scene_src}/reader_stream.cpp
                 ${scene_src}/scene_fields.cpp ${scene_src}/scene.cpp)
  target_include_directories(citywalk_reader_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(citywalk_reader_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(citywalk_reader_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
endif()
