# Replay cases: the program run by citywalk-replay on the headless platform, its trace and
# snapshot checked by citywalk-expect.
#
# Adding a case:
#   citywalk_replay_case(NAME <name> SCENE <folder with Город.mts>
#                        [SCRIPT <file>] [EXPECT <file>] [FRAMES <n>] [ARGS <options>...]
#                        [TWICE] [EXIT <code>] [STDERR <regex>] [STDOUT <regex>])
# Relative paths (SCENE, SCRIPT, EXPECT) are taken from tests/replay/. The test is named
# replay_<name>.
#   SCRIPT  input events, one a line: "FRAME EVENT ARGS" (see the README), e.g.
#             3 keydown up
#             8 mousemove 120 75
#   EXPECT  expectations, one a line ('#' starts a comment):
#             FRAME KEY VALUE [TOL]    trace value of drawn frame FRAME (1-based or "last");
#                                      KEY a trace key or objects[I].KEY; exact unless TOL
#             frames N                 the run drew exactly N frames
#             size W H                 the snapshot (last frame) is W x H
#             pixel X Y R G B [TOL]    snapshot pixel at client (X, Y), origin top-left
#           Compute the values from the rules, not from a run.
#   FRAMES  frames to draw (default 100); ARGS further citywalk-replay options.
#   TWICE   run twice and require byte-identical traces and snapshots.
#   EXIT, STDERR, STDOUT: expected exit status (default 0) and output patterns.
# The trace and snapshot stay in <build>/tests/replay_<name>/ for a look after a failure.
if(NOT TARGET citywalk-replay OR NOT TARGET citywalk-expect)
  message(FATAL_ERROR "the replay tests need citywalk-replay and citywalk-expect")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/replay/walk/scenes.cmake)

function(citywalk_replay_case)
  cmake_parse_arguments(CASE "TWICE" "NAME;SCENE;SCRIPT;EXPECT;FRAMES;EXIT;STDERR;STDOUT"
                        "ARGS" ${ARGN})
  set(base ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/replay)
  set(defines -DREPLAY=$<TARGET_FILE:citywalk-replay> -DEXPECT_TOOL=$<TARGET_FILE:citywalk-expect>
              -DWORK=${CMAKE_CURRENT_BINARY_DIR}/replay_${CASE_NAME})
  foreach(file SCENE SCRIPT EXPECT)
    if(CASE_${file})
      cmake_path(ABSOLUTE_PATH CASE_${file} BASE_DIRECTORY ${base})
    endif()
  endforeach()
  list(APPEND defines -DSCENE=${CASE_SCENE})
  if(CASE_SCRIPT)
    list(APPEND defines -DSCRIPT=${CASE_SCRIPT})
  endif()
  if(CASE_EXPECT)
    list(APPEND defines -DEXPECTATIONS=${CASE_EXPECT})
  endif()
  foreach(option FRAMES EXIT STDERR STDOUT)
    if(DEFINED CASE_${option})
      list(APPEND defines "-D${option}=${CASE_${option}}")
    endif()
  endforeach()
  if(CASE_ARGS)
    string(REPLACE ";" "|" args "${CASE_ARGS}")
    list(APPEND defines "-DARGS=${args}")
  endif()
  if(CASE_TWICE)
    list(APPEND defines -DTWICE=ON)
  endif()
  add_test(NAME replay_${CASE_NAME}
           COMMAND ${CMAKE_COMMAND} ${defines} -P ${base}/run_case.cmake)
  set_tests_properties(replay_${CASE_NAME} PROPERTIES TIMEOUT 120)
endfunction()

# ---- The replay tool and the platform under it --------------------------------------------
citywalk_replay_case(NAME pacing SCENE platform/empty FRAMES 5
                     EXPECT platform/pacing.expect ARGS --timedemo
                     STDOUT "frames drawn: 5 .*ms per frame: median")
# A frame drawn inside a message (resuming with F2) is counted but not timed.
citywalk_replay_case(NAME timedemo_times_the_loops_frames SCENE platform/empty FRAMES 6
                     SCRIPT platform/pause.script ARGS --timedemo
                     STDOUT "frames drawn: 6 .timed: 5.")
citywalk_replay_case(NAME tick_wrap SCENE platform/empty FRAMES 10
                     EXPECT platform/tick_wrap.expect ARGS --start-tick 4294967000)
citywalk_replay_case(NAME events_land_on_their_turn SCENE platform/empty FRAMES 6
                     SCRIPT platform/pause.script EXPECT platform/pause.expect)
citywalk_replay_case(NAME esc_quits_before_its_frame SCENE platform/empty
                     SCRIPT platform/esc.script EXPECT platform/esc.expect
                     STDERR "quit after 4 of 100 frames")
citywalk_replay_case(NAME close_runs_the_teardown SCENE platform/empty
                     SCRIPT platform/close.script EXPECT platform/close.expect)
citywalk_replay_case(NAME resize_and_maximise SCENE platform/empty FRAMES 5
                     SCRIPT platform/resize.script EXPECT platform/resize.expect
                     ARGS --screen 640x480)
citywalk_replay_case(NAME paused_for_ever_ends SCENE platform/empty
                     SCRIPT platform/pause_for_ever.script EXPECT platform/pause_for_ever.expect
                     STDERR "1000 turns without a frame")
# A scene with textures, walking, a pause and a drag: the whole program must be repeatable.
citywalk_replay_case(NAME same_run_same_output SCENE ${WALK_SCENES}/open FRAMES 40 TWICE
                     SCRIPT walk/open/pause.script)
citywalk_replay_case(NAME bad_script_line SCENE platform/empty
                     SCRIPT platform/bad.script EXIT 1 STDERR "line 3: ")
citywalk_replay_case(NAME bad_script_key SCENE platform/empty
                     SCRIPT platform/bad_key.script EXIT 1 STDERR "line 2: keydown needs one key")
citywalk_replay_case(NAME missing_scene_folder SCENE platform/no_such_folder EXIT 2)
citywalk_replay_case(NAME bad_arguments SCENE platform/empty ARGS --screen 0x480 EXIT 1)
# The BMP reader of citywalk-expect against a reference picture made by another program.
add_test(NAME replay_expect_reads_bmp_rows
         COMMAND citywalk-expect ${CMAKE_CURRENT_SOURCE_DIR}/replay/platform/corners.expect
                 --snapshot ${CMAKE_CURRENT_SOURCE_DIR}/replay/platform/corners.bmp)

# Memory errors over a 100-frame run of the empty scene, the snapshot read-back included
# (about 4 s; not under the sanitizers, which do not mix with valgrind: label `valgrind`).
find_program(VALGRIND_PROGRAM valgrind)
if(VALGRIND_PROGRAM AND NOT CITYWALK_SANITIZE)
  add_test(NAME replay_valgrind_empty_scene
           COMMAND ${VALGRIND_PROGRAM} --error-exitcode=1 -q $<TARGET_FILE:citywalk-replay>
                   --dir ${CMAKE_CURRENT_SOURCE_DIR}/replay/platform/empty --frames 100
                   --snapshot ${CMAKE_CURRENT_BINARY_DIR}/replay_valgrind.bmp)
  set_tests_properties(replay_valgrind_empty_scene PROPERTIES TIMEOUT 300
                       LABELS "valgrind;slow")
endif()

# The recorded display lists draw exactly what the immediate walk draws, and leave the same
# state: the sample city, and a scene of hand-overs between plain and textured polygons, a
# missing texture, an unknown textured flag and a plain list left open at its count; and each
# demo scene (the four control modes: the objects and the avatar from their lists) walked,
# turned, pitched, crouched and jumped with the objects and their swinging parts crossing the
# edges of the view, at three frames.
foreach(scene city handover)
  set(dir ${CMAKE_SOURCE_DIR}/scenes/walk)
  if(scene STREQUAL "handover")
    set(dir ${CMAKE_CURRENT_SOURCE_DIR}/replay/pictures/handover)
  endif()
  add_test(NAME replay_lists_draw_as_immediate_${scene}
           COMMAND ${CMAKE_COMMAND} -DREPLAY=$<TARGET_FILE:citywalk-replay> -DSCENE=${dir}
                   -DSCRIPT=${CMAKE_CURRENT_SOURCE_DIR}/replay/paths.script -DFRAMES=80
                   -DWORK=${CMAKE_CURRENT_BINARY_DIR}/replay_lists_${scene}
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/replay/compare_paths.cmake)
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/replay_lists_${scene})
endforeach()
foreach(scene walk drive follow chase)
  add_test(NAME replay_lists_draw_as_immediate_${scene}_models
           COMMAND ${CMAKE_COMMAND} -DREPLAY=$<TARGET_FILE:citywalk-replay>
                   -DSCENE=${CMAKE_SOURCE_DIR}/scenes/${scene}
                   -DSCRIPT=${CMAKE_CURRENT_SOURCE_DIR}/replay/culling.script -DFRAMES=25,50,78
                   -DWORK=${CMAKE_CURRENT_BINARY_DIR}/replay_lists_${scene}_models
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/replay/compare_paths.cmake)
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/replay_lists_${scene}_models)
endforeach()

# Leaving out what cannot be seen changes no pixel and no trace value: each demo scene (the
# four control modes, the chase camera) walked, turned, pitched, crouched and jumped with
# the objects crossing the edges of the view, compared with --no-culling at three frames,
# from the recorded runs and vertex by vertex; and the capacity scene (50 objects with 20
# swinging parts each, the avatar, thousands of runs).
foreach(scene walk drive follow chase)
  foreach(path lists immediate)
    set(extra "")
    if(path STREQUAL "immediate")
      set(extra --immediate)
    endif()
    add_test(NAME replay_culling_draws_as_everything_${scene}_${path}
             COMMAND ${CMAKE_COMMAND} -DREPLAY=$<TARGET_FILE:citywalk-replay>
                     -DSCENE=${CMAKE_SOURCE_DIR}/scenes/${scene}
                     -DSCRIPT=${CMAKE_CURRENT_SOURCE_DIR}/replay/culling.script
                     -DFRAMES=25,50,78 -DSWITCH=--no-culling -DEXTRA=${extra}
                     -DWORK=${CMAKE_CURRENT_BINARY_DIR}/replay_culling_${scene}_${path}
                     -P ${CMAKE_CURRENT_SOURCE_DIR}/replay/compare_paths.cmake)
    file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/replay_culling_${scene}_${path})
  endforeach()
endforeach()
set(capacity ${CMAKE_CURRENT_BINARY_DIR}/replay_culling_capacity)
add_test(NAME replay_culling_capacity_scene
         COMMAND citywalk-scenegen --capacity ${capacity}/scene)
set_tests_properties(replay_culling_capacity_scene PROPERTIES
                     FIXTURES_SETUP culling_capacity)
add_test(NAME replay_culling_draws_as_everything_capacity
         COMMAND ${CMAKE_COMMAND} -DREPLAY=$<TARGET_FILE:citywalk-replay> -DSCENE=${capacity}/scene
                 -DSCRIPT=${CMAKE_CURRENT_SOURCE_DIR}/replay/culling.script -DFRAMES=30
                 -DSWITCH=--no-culling -DWORK=${capacity}
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/replay/compare_paths.cmake)
set_tests_properties(replay_culling_draws_as_everything_capacity PROPERTIES
                     FIXTURES_REQUIRED culling_capacity LABELS slow)
add_test(NAME replay_lists_draw_as_immediate_capacity
         COMMAND ${CMAKE_COMMAND} -DREPLAY=$<TARGET_FILE:citywalk-replay> -DSCENE=${capacity}/scene
                 -DSCRIPT=${CMAKE_CURRENT_SOURCE_DIR}/replay/culling.script -DFRAMES=30
                 -DWORK=${capacity}/lists
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/replay/compare_paths.cmake)
set_tests_properties(replay_lists_draw_as_immediate_capacity PROPERTIES
                     FIXTURES_REQUIRED culling_capacity LABELS slow)
# Polygons and objects hidden behind the towers, walking across them (through some) and
# turning, as the benchmark does.
foreach(walk forward turning)
  add_test(NAME replay_culling_hides_nothing_seen_capacity_${walk}
           COMMAND ${CMAKE_COMMAND} -DREPLAY=$<TARGET_FILE:citywalk-replay>
                   -DSCENE=${capacity}/scene
                   -DSCRIPT=${CMAKE_CURRENT_SOURCE_DIR}/replay/capacity_${walk}.script
                   -DFRAMES=40,75,110 -DSWITCH=--no-culling -DWORK=${capacity}/${walk}
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/replay/compare_paths.cmake)
  set_tests_properties(replay_culling_hides_nothing_seen_capacity_${walk} PROPERTIES
                       FIXTURES_REQUIRED culling_capacity LABELS slow)
endforeach()
file(MAKE_DIRECTORY ${capacity} ${capacity}/lists ${capacity}/forward ${capacity}/turning)

# Every way of drawing a frame (vertex by vertex as written, display lists, and each leaving out
# what cannot be seen) draws the same picture to the bit, in every frame, compared with the
# drawing as written by scripts/compare_paths.sh: random scenes in which the ways parted (a
# colour on a level's boundary, taken with each vertex where drawing as written takes the
# current colour, on a wall of a walk in mode 3 and on one pixel; walls close in depth under a
# field of view of 1 degree and a far plane of 10^6), each its whole script long; and eight
# stress scenes (citywalk-scenegen --stress) with random input, label `slow` (the long run:
# scripts/compare_paths.sh --minutes M).
foreach(case "wall_colour_on_a_level_boundary|90|400x300" "one_pixel_one_level|100|257x131"
             "narrow_view_far_plane|70|320x240")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 name)
  list(GET case 1 frames)
  list(GET case 2 screen)
  set(dir ${CMAKE_CURRENT_SOURCE_DIR}/replay/every_way/${name})
  add_test(NAME replay_every_way_${name}
           COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/compare_paths.sh --build ${CMAKE_BINARY_DIR}
                   --dir ${dir} --script ${dir}/input.script --frames ${frames} --screen ${screen})
  set_tests_properties(replay_every_way_${name} PROPERTIES TIMEOUT 300)
endforeach()
add_test(NAME replay_every_way_stress_scenes
         COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/compare_paths.sh --build ${CMAKE_BINARY_DIR}
                 --stress 1-8 --frames 60)
set_tests_properties(replay_every_way_stress_scenes PROPERTIES TIMEOUT 900 LABELS slow)

# The example scene of the scene format guide loads cleanly and moves as the guide says.
citywalk_replay_case(NAME docs_example SCENE ${CMAKE_SOURCE_DIR}/docs/examples/street
                     SCRIPT docs_example.script EXPECT docs_example.expect FRAMES 60)
add_test(NAME docs_example_reads_cleanly
         COMMAND citywalk-check ${CMAKE_SOURCE_DIR}/docs/examples/street/Город.mts)
set_tests_properties(docs_example_reads_cleanly PROPERTIES
                     FAIL_REGULAR_EXPRESSION ": (warning|error): ")

# A short soak: two thousand frames of random keys, mouse, pauses, mode keys and resizes in
# each demo scene, with no NaN or infinity in the trace and no growth of memory (the long run
# is scripts/soak.sh); and the same seed gives the same run. Label `slow`.
foreach(scene walk drive follow chase)
  add_test(NAME replay_random_input_${scene}
           COMMAND ${CMAKE_COMMAND} -DREPLAY=$<TARGET_FILE:citywalk-replay>
                   -DSCENE=${CMAKE_SOURCE_DIR}/scenes/${scene} -DFRAMES=2000 -DSEED=16
                   -DWORK=${CMAKE_CURRENT_BINARY_DIR}/replay_random_${scene}
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/replay/soak.cmake)
  set_tests_properties(replay_random_input_${scene} PROPERTIES TIMEOUT 600 LABELS slow)
  if(CITYWALK_SANITIZE)
    # The sanitizer keeps freed blocks resident in its quarantine (256 MB by default), which
    # the memory check would take for growth; a small one keeps what it measures the program's.
    set_tests_properties(replay_random_input_${scene} PROPERTIES
                         ENVIRONMENT "ASAN_OPTIONS=quarantine_size_mb=16")
  endif()
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/replay_random_${scene})
endforeach()
add_test(NAME replay_random_input_is_reproducible
         COMMAND ${CMAKE_COMMAND} -DREPLAY=$<TARGET_FILE:citywalk-replay>
                 -DSCENE=${CMAKE_SOURCE_DIR}/scenes/chase -DFRAMES=400 -DSEED=3 -DAGAIN=ON
                 -DWORK=${CMAKE_CURRENT_BINARY_DIR}/replay_random_again
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/replay/soak.cmake)
set_tests_properties(replay_random_input_is_reproducible PROPERTIES LABELS slow)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/replay_random_again)
# Recordings of the real program (citywalk --record): the ones refused before anything runs
# (cut inside a line, malformed, newer, from a larger screen), one the program does not keep
# to, and one cut at a line boundary that replays the start of the whole one.
add_test(NAME replay_recordings
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/replay/recordings.sh
                 $<TARGET_FILE:citywalk-replay> ${CMAKE_SOURCE_DIR})
set_tests_properties(replay_recordings PROPERTIES TIMEOUT 300)
