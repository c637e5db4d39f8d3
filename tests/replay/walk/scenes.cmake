# The walking scenes share one floor (floor.mts: a checkered plain list with walls). Each
# scene folder holds only what differs: head.mts (counts, settings, obstacle points, clear
# colour) and, for the scenes with a post, tail.mts (the post's box, appended to the plain
# list). The scene files are put together in the build tree; WALK_SCENES names that folder.
include_guard(GLOBAL)
set(WALK_SCENES ${CMAKE_BINARY_DIR}/tests/walk_scenes)
block(SCOPE_FOR VARIABLES PROPAGATE WALK_SCENES)
  set(source ${CMAKE_CURRENT_LIST_DIR})
  file(READ ${source}/floor.mts floor)
  file(GLOB heads CONFIGURE_DEPENDS ${source}/*/head.mts)
  foreach(head ${heads})
    get_filename_component(dir ${head} DIRECTORY)
    get_filename_component(scene ${dir} NAME)
    file(READ ${head} text)
    string(APPEND text "${floor}")
    if(EXISTS ${dir}/tail.mts)
      file(READ ${dir}/tail.mts tail)
      string(APPEND text "${tail}")
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${dir}/tail.mts)
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${head} ${source}/floor.mts)
    file(CONFIGURE OUTPUT ${WALK_SCENES}/${scene}/Город.mts CONTENT "${text}" @ONLY)
  endforeach()
endblock()
