# Replays SCENE with SCRIPT for FRAMES frames twice, once replaying the recorded display
# lists and once drawing the lists vertex by vertex (--immediate), and fails unless both
# snapshots and both traces are byte for byte the same.
foreach(path lists immediate)
  set(extra "")
  if(path STREQUAL "immediate")
    set(extra --immediate)
  endif()
  execute_process(COMMAND ${REPLAY} --dir ${SCENE} --frames ${FRAMES} --script ${SCRIPT}
                          --screen 640x480 --snapshot ${WORK}/${path}.bmp
                          --trace ${WORK}/${path}.trace ${extra}
                  RESULT_VARIABLE result ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "citywalk-replay ${extra} failed: ${result}\n${errors}")
  endif()
endforeach()
foreach(file bmp trace)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/lists.${file}
                          ${WORK}/immediate.${file} RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "the recorded lists and the immediate walk give different ${file}s")
  endif()
endforeach()
