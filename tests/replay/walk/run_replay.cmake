# Runs one walking replay and checks its trace:
#   cmake -DREPLAY=... -DEXPECT=... -DSCENE=dir -DSCRIPT=file -DEXPECTATIONS=file
#         -DFRAMES=n -DTRACE=out.jsonl -P run_replay.cmake
execute_process(COMMAND ${REPLAY} --dir ${SCENE} --script ${SCRIPT} --frames ${FRAMES}
                        --trace ${TRACE}
                RESULT_VARIABLE replay_status)
if(NOT replay_status EQUAL 0)
  message(FATAL_ERROR "citywalk-replay failed with status ${replay_status}")
endif()
execute_process(COMMAND ${EXPECT} ${EXPECTATIONS} --trace ${TRACE}
                RESULT_VARIABLE expect_status)
if(NOT expect_status EQUAL 0)
  message(FATAL_ERROR "expectations not met (status ${expect_status}), trace: ${TRACE}")
endif()
