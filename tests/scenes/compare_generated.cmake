# Regenerates a demo scene into OUT (with the generator's OPTION, if any) and fails unless
# every file equals the one in SCENE.
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${GENERATOR} ${OPTION} ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "citywalk-scenegen failed: ${result}")
endif()
file(GLOB generated RELATIVE ${OUT} ${OUT}/*)
file(GLOB committed RELATIVE ${SCENE} ${SCENE}/*)
if(NOT generated STREQUAL committed)
  message(FATAL_ERROR "files differ: generated ${generated}, committed ${committed}")
endif()
foreach(name ${generated})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${name} ${SCENE}/${name}
                  RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${name} is not what citywalk-scenegen writes; regenerate scenes/")
  endif()
endforeach()
