# The demo scenes in scenes/ are what citywalk-scenegen writes, and they read cleanly.
if(TARGET citywalk-scenegen AND TARGET citywalk-check)
  add_test(NAME scenes.sample_is_generated
    COMMAND ${CMAKE_COMMAND}
      -DGENERATOR=$<TARGET_FILE:citywalk-scenegen>
      -DSCENE=${CMAKE_SOURCE_DIR}/scenes/sample
      -DOUT=${CMAKE_CURRENT_BINARY_DIR}/scenes-sample
      -P ${CMAKE_CURRENT_SOURCE_DIR}/scenes/compare_generated.cmake)
  add_test(NAME scenes.sample_reads_cleanly
    COMMAND citywalk-check ${CMAKE_SOURCE_DIR}/scenes/sample/Город.mts)
  set_tests_properties(scenes.sample_reads_cleanly PROPERTIES
    FAIL_REGULAR_EXPRESSION ": (warning|error): ")
endif()
