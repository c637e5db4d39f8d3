# Walking mode: end-to-end replays on the headless platform, and a real-window test on the X
# display with the SDL build.
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

# ---- Real window: needs an X display (CI: xvfb-run); skipped without one -------------------
find_package(X11 QUIET)
if(X11_FOUND AND X11_Xfixes_FOUND)
  add_executable(citywalk-cursor-state ${CMAKE_CURRENT_SOURCE_DIR}/window_walk/cursor_state.cpp)
  target_include_directories(citywalk-cursor-state PRIVATE ${X11_INCLUDE_DIR})
  target_link_libraries(citywalk-cursor-state PRIVATE ${X11_Xfixes_LIB} ${X11_LIBRARIES})
  set(WALK_CURSOR_STATE $<TARGET_FILE:citywalk-cursor-state>)
else()
  set(WALK_CURSOR_STATE "")
endif()
add_test(NAME walk_window
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/window_walk/run.sh $<TARGET_FILE:citywalk>
                 ${WALK_SCENES}/open ${WALK_CURSOR_STATE})
set_tests_properties(walk_window PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 60 RUN_SERIAL TRUE)
