# Replays the recorded route of demo MODE, scenes/MODE.rec (made by scripts/record.sh with the
# real program), to its end and fails unless its last frame matches the committed
# docs/pictures/MODE-end.png (compare_bmp.cmake): the recording still plays back, whole, to where
# the user's drive or walk ended.
execute_process(COMMAND ${REPLAY} --dir ${SOURCE}/scenes/${MODE} --script ${SOURCE}/scenes/${MODE}.rec
                        --snapshot ${WORK}/${MODE}-end.bmp
                RESULT_VARIABLE result ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "citywalk-replay failed: ${result}\n${err}")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/compare_bmp.cmake)
compare_to_committed(${SOURCE}/docs/pictures/${MODE}-end.png ${WORK}/${MODE}-end.bmp 320 200
                     differing)
if(NOT differing EQUAL 0)
  message(FATAL_ERROR "scenes/${MODE}.rec no longer replays to docs/pictures/${MODE}-end.png: "
                      "${differing} pixels differ (a change of the program's motion or drawing; "
                      "run scripts/pictures.sh, or scripts/record.sh ${MODE} first if the "
                      "recording no longer fits the program)")
endif()
