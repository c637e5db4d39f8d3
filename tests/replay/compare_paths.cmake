# Replays SCENE with SCRIPT twice, once as it is and once with the option SWITCH (default
# --immediate: drawing the lists vertex by vertex instead of replaying the recorded display
# lists), both with the options EXTRA, and fails unless both snapshots and both traces are
# byte for byte the same. FRAMES may list several frame counts, separated by commas: each is
# a run of its own, compared at its last frame.
if(NOT DEFINED SWITCH)
  set(SWITCH --immediate)
endif()
string(REPLACE "," ";" FRAMES "${FRAMES}")
foreach(frames ${FRAMES})
  foreach(path plain switched)
    set(options ${EXTRA})
    if(path STREQUAL "switched")
      list(APPEND options ${SWITCH})
    endif()
    execute_process(COMMAND ${REPLAY} --dir ${SCENE} --frames ${frames} --script ${SCRIPT}
                            --screen 640x480 --snapshot ${WORK}/${path}.bmp
                            --trace ${WORK}/${path}.trace ${options}
                    RESULT_VARIABLE result ERROR_VARIABLE errors)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "citywalk-replay ${options} failed: ${result}\n${errors}")
    endif()
  endforeach()
  foreach(file bmp trace)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/plain.${file}
                            ${WORK}/switched.${file} RESULT_VARIABLE differ)
    if(NOT differ EQUAL 0)
      message(FATAL_ERROR "with and without ${SWITCH} ${EXTRA} the ${file}s differ at frame ${frames}")
    endif()
  endforeach()
endforeach()
