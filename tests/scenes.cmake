# The demo scenes in scenes/ are what citywalk-scenegen writes, and they read cleanly.
if(TARGET citywalk-scenegen AND TARGET citywalk-check)
  foreach(demo walk:walk drive:drive follow:follow chase:chase)
    string(REPLACE ":" ";" parts ${demo})
    list(GET parts 0 folder)
    list(GET parts 1 mode)
    set(option "")
    if(NOT mode STREQUAL "walk")
      set(option --${mode})
    endif()
    add_test(NAME scenes.${folder}_is_generated
      COMMAND ${CMAKE_COMMAND}
        -DGENERATOR=$<TARGET_FILE:citywalk-scenegen> -DOPTION=${option}
        -DSCENE=${CMAKE_SOURCE_DIR}/scenes/${folder}
        -DOUT=${CMAKE_CURRENT_BINARY_DIR}/scenes-${folder}
        -P ${CMAKE_CURRENT_SOURCE_DIR}/scenes/compare_generated.cmake)
    add_test(NAME scenes.${folder}_reads_cleanly
      COMMAND citywalk-check ${CMAKE_SOURCE_DIR}/scenes/${folder}/Город.mts)
    set_tests_properties(scenes.${folder}_reads_cleanly PROPERTIES
      FAIL_REGULAR_EXPRESSION ": (warning|error): ")
  endforeach()
endif()

# The README's pictures are what scripts/pictures.sh makes of the demo scenes.
find_program(MAGICK_COMPARE compare)
if(NOT MAGICK_COMPARE)
  message(FATAL_ERROR "the picture tests need ImageMagick's compare (scripts/deps.sh test)")
endif()
# models: the plaza scripts/models.sh builds from the model library's test models.
foreach(mode walk drive follow chase models)
  add_test(NAME pictures_${mode}
           COMMAND ${CMAKE_COMMAND} -DREPLAY=$<TARGET_FILE:citywalk-replay>
                   -DIMPORT=$<TARGET_FILE:citywalk-import>
                   -DCOMPARE=${MAGICK_COMPARE} -DSOURCE=${CMAKE_SOURCE_DIR} -DMODE=${mode}
                   -DWORK=${CMAKE_CURRENT_BINARY_DIR}
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/scenes/compare_picture.cmake)
endforeach()

# The recorded route of each demo (scenes/MODE.rec) still replays to its final picture.
foreach(mode walk drive follow chase)
  add_test(NAME routes_${mode}
           COMMAND ${CMAKE_COMMAND} -DREPLAY=$<TARGET_FILE:citywalk-replay>
                   -DCOMPARE=${MAGICK_COMPARE} -DSOURCE=${CMAKE_SOURCE_DIR} -DMODE=${mode}
                   -DWORK=${CMAKE_CURRENT_BINARY_DIR}
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/scenes/compare_route.cmake)
endforeach()
