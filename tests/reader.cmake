# Scene file reader: the unit tests write scenes with the scene writer; citywalk-check runs on
# a good and a bad scene, in a folder without one, and on a folder copied from Windows (with
# a texture too large for many GL implementations), checking exit codes and messages.
if(TARGET citywalk_tests AND TARGET citywalk_scenewriter)
  target_link_libraries(citywalk_tests PRIVATE citywalk_scenewriter)
  target_link_libraries(citywalk_gl_tests PRIVATE citywalk_scenewriter)
endif()

if(TARGET citywalk-check)
  set(READER_DATA ${CMAKE_CURRENT_SOURCE_DIR}/data/reader)
  foreach(case good bad missing copied boom)
    set(scene ${READER_DATA}/${case}.mts)
    if(case STREQUAL "missing")
      set(scene none)
    elseif(case STREQUAL "copied")  # a folder from Windows: a texture named sub\wall.bmp
      set(scene ${READER_DATA}/copied/scene.mts)
    endif()
    add_test(NAME reader_check_${case}
             COMMAND ${CMAKE_COMMAND} -DCHECK=$<TARGET_FILE:citywalk-check> -DSCENE=${scene}
                     -DEXPECT=${READER_DATA}/${case}.expect
                     -DEMPTY_DIR=${CMAKE_CURRENT_BINARY_DIR}/reader_check_empty
                     -P ${READER_DATA}/run_check.cmake)
  endforeach()
endif()
