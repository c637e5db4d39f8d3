# Replays SCENE for FRAMES frames of random input (seed SEED) and fails unless every frame was
# drawn, no value in the trace is NaN or infinite, and the resident memory at the end is not
# well above the memory after the warm-up. With AGAIN set, replays it a second time and fails
# unless both traces are the same byte for byte (the input depends on the seed alone).
set(runs first)
if(AGAIN)
  list(APPEND runs second)
endif()
foreach(run ${runs})
  execute_process(COMMAND ${REPLAY} --dir ${SCENE} --frames ${FRAMES} --screen 160x120
                          --random-input ${SEED} --memory --trace ${WORK}/${run}.trace
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "citywalk-replay failed: ${result}\n${errors}")
  endif()
endforeach()

file(STRINGS ${WORK}/first.trace lines)
list(LENGTH lines drawn)
if(NOT drawn EQUAL FRAMES)
  message(FATAL_ERROR "${drawn} of ${FRAMES} frames drawn\n${errors}")
endif()
file(STRINGS ${WORK}/first.trace bad REGEX "\"(nan|inf|-inf)\"")
if(bad)
  list(GET bad 0 first)
  message(FATAL_ERROR "a value that is not a finite number in the trace:\n${first}")
endif()

if(NOT output MATCHES "memory: ([0-9]+) kB resident after frame [0-9]+, ([0-9]+) kB")
  message(FATAL_ERROR "no memory line in the output:\n${output}")
endif()
set(warm ${CMAKE_MATCH_1})
set(last ${CMAKE_MATCH_2})
message(STATUS "${drawn} frames, ${warm} kB after the warm-up, ${last} kB at the end")
math(EXPR allowed "${warm} + ${warm} / 4 + 8192")
if(last GREATER allowed)
  message(FATAL_ERROR "memory grew from ${warm} kB to ${last} kB")
endif()

if(AGAIN)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/first.trace
                          ${WORK}/second.trace RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "the same seed gave two different runs")
  endif()
endif()
