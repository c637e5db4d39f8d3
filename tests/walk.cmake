# Walking mode: end-to-end replays on the headless platform, and a real-window test on the X
# display with the SDL build.
set(WALK_SCENES ${CMAKE_CURRENT_SOURCE_DIR}/replay/walk)

# ---- Replays: tests/replay/walk/<scene>/<case>.script with <case>.expect -------------------
if(TARGET citywalk-replay AND TARGET citywalk-expect)
  file(GLOB WALK_SCRIPTS CONFIGURE_DEPENDS ${WALK_SCENES}/*/*.script)
  foreach(script ${WALK_SCRIPTS})
    get_filename_component(scene_dir ${script} DIRECTORY)
    get_filename_component(scene ${scene_dir} NAME)
    get_filename_component(case ${script} NAME_WE)
    set(expect ${scene_dir}/${case}.expect)
    set(trace ${CMAKE_CURRENT_BINARY_DIR}/walk_${scene}_${case}.jsonl)
    # The frame count is the last frame the expectations name ("frames N").
    file(STRINGS ${expect} frames_line REGEX "^frames [0-9]+")
    string(REGEX REPLACE "^frames ([0-9]+).*" "\\1" frames "${frames_line}")
    add_test(NAME walk_replay_${scene}_${case}
             COMMAND ${CMAKE_COMMAND}
                     -DREPLAY=$<TARGET_FILE:citywalk-replay>
                     -DEXPECT=$<TARGET_FILE:citywalk-expect>
                     -DSCENE=${scene_dir} -DSCRIPT=${script} -DEXPECTATIONS=${expect}
                     -DFRAMES=${frames} -DTRACE=${trace}
                     -P ${CMAKE_CURRENT_SOURCE_DIR}/replay/walk/run_replay.cmake)
    set_tests_properties(walk_replay_${scene}_${case} PROPERTIES
                         TIMEOUT 120 ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
  endforeach()
endif()

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
set_tests_properties(walk_window PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 60 RUN_SERIAL TRUE
                     ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
