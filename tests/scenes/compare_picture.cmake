# Makes MODE's README picture as scripts/pictures.sh does and fails when it differs from the
# committed docs/pictures/MODE.png in more than 0.5% of its pixels (compare_bmp.cmake).
# MODE "models" first builds the models plaza with IMPORT, as scripts/models.sh does.
set(dir ${SOURCE}/scenes/${MODE})
set(frames 60)
if(MODE STREQUAL "models")
  set(dir ${WORK}/models)
  set(frames 80)
  execute_process(COMMAND ${SOURCE}/scripts/models.sh ${IMPORT} ${dir}
                  RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "scripts/models.sh failed: ${result}\n${err}")
  endif()
endif()
execute_process(COMMAND ${REPLAY} --dir ${dir} --frames ${frames}
                        --script ${SOURCE}/docs/pictures/${MODE}.script
                        --snapshot ${WORK}/${MODE}.bmp
                RESULT_VARIABLE result ERROR_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "citywalk-replay failed: ${result}")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/compare_bmp.cmake)
compare_to_committed(${SOURCE}/docs/pictures/${MODE}.png ${WORK}/${MODE}.bmp 640 400 differing)
if(NOT differing EQUAL 0)
  message(FATAL_ERROR "docs/pictures/${MODE}.png differs from what scripts/pictures.sh makes "
                      "in ${differing} pixels; run scripts/pictures.sh")
endif()
