# Walking mode: end-to-end replays on the headless platform (its real-window test is in
# tests/window.cmake).
set(WALK_CASES ${CMAKE_CURRENT_SOURCE_DIR}/replay/walk)
include(${WALK_CASES}/scenes.cmake)  # WALK_SCENES: the scene folders, put together

# ---- Replays: tests/replay/walk/<scene>/<case>.script with <case>.expect -------------------
# Each runs for as many frames as its expectations name ("frames N"); the helper comes from
# tests/replay.cmake, which is included before this file.
if(NOT COMMAND citywalk_replay_case)
  message(FATAL_ERROR "the walking replays need citywalk_replay_case (tests/replay.cmake)")
endif()
file(GLOB WALK_SCRIPTS CONFIGURE_DEPENDS ${WALK_CASES}/*/*.script)
foreach(script ${WALK_SCRIPTS})
  get_filename_component(scene_dir ${script} DIRECTORY)
  get_filename_component(scene ${scene_dir} NAME)
  get_filename_component(case ${script} NAME_WE)
  file(STRINGS ${scene_dir}/${case}.expect frames_line REGEX "^frames [0-9]+")
  string(REGEX REPLACE "^frames ([0-9]+).*" "\\1" frames "${frames_line}")
  citywalk_replay_case(NAME walk_${scene}_${case} SCENE ${WALK_SCENES}/${scene}
                       SCRIPT walk/${scene}/${case}.script EXPECT walk/${scene}/${case}.expect
                       FRAMES ${frames})
endforeach()
