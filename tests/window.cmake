# Real-window tests of the SDL build on the X display (CI: xvfb-run); each skips (77) without
# one. They share the display's pointer and keyboard focus and measure idle CPU and frame
# timing, so they run alone. All carry the label `window`, which the sanitizer run leaves out.
function(citywalk_window_test name timeout)
  add_test(NAME ${name} COMMAND ${ARGN})
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT ${timeout} RUN_SERIAL TRUE
                       LABELS window)
endfunction()

# The SDL platform's Win32 calls against a real window, with the rules it shares with the
# headless platform.
add_executable(citywalk_window_tests ${CMAKE_CURRENT_SOURCE_DIR}/window/platform_sdl_test.cpp
               ${CMAKE_CURRENT_SOURCE_DIR}/common/win32_rules_test.cpp)
target_link_libraries(citywalk_window_tests PRIVATE platform_sdl GTest::gtest)
target_include_directories(citywalk_window_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
citywalk_window_test(window_platform_sdl 120 citywalk_window_tests)

# The program in an empty folder: placement, title, idle CPU, F3 and Esc.
citywalk_window_test(window_citywalk 60
  bash ${CMAKE_CURRENT_SOURCE_DIR}/window/citywalk_window.sh $<TARGET_FILE:citywalk>)
# A scene that maximises the window and switches the display mode.
citywalk_window_test(window_citywalk_maximised 60
  bash ${CMAKE_CURRENT_SOURCE_DIR}/window/citywalk_window.sh $<TARGET_FILE:citywalk>
       ${CMAKE_CURRENT_SOURCE_DIR}/data/window/maximised)

# Xlib tools of the tests: the close request a window manager sends, and whether the cursor
# shows (XFixes). Without them the close test is left out and the key tests do not look at
# the cursor.
find_package(X11 QUIET)
if(X11_FOUND)
  add_executable(citywalk-close-request ${CMAKE_CURRENT_SOURCE_DIR}/window/close_request.cpp)
  target_include_directories(citywalk-close-request PRIVATE ${X11_INCLUDE_DIR})
  target_link_libraries(citywalk-close-request PRIVATE ${X11_LIBRARIES})
  # Closing the window as a window manager does.
  citywalk_window_test(window_citywalk_close 60
    bash ${CMAKE_CURRENT_SOURCE_DIR}/window/citywalk_close.sh $<TARGET_FILE:citywalk>
         $<TARGET_FILE:citywalk-close-request>)
endif()
set(CURSOR_STATE "")
if(X11_FOUND AND X11_Xfixes_FOUND)
  add_executable(citywalk-cursor-state ${CMAKE_CURRENT_SOURCE_DIR}/window_walk/cursor_state.cpp)
  target_include_directories(citywalk-cursor-state PRIVATE ${X11_INCLUDE_DIR})
  target_link_libraries(citywalk-cursor-state PRIVATE ${X11_Xfixes_LIB} ${X11_LIBRARIES})
  set(CURSOR_STATE $<TARGET_FILE:citywalk-cursor-state>)
endif()

# Walking (mode 1, in the walking replays' open scene), driving (2), the walking figure (3)
# and the car watched from outside (4) by the keys: holding Up moves the picture, F2 pauses,
# Esc ends the program with status 0. The scenes have no traffic, so only the user can change
# the picture.
citywalk_window_test(walk_window 60
  ${CMAKE_CURRENT_SOURCE_DIR}/window_walk/run.sh $<TARGET_FILE:citywalk> ${WALK_SCENES}/open
  ${CURSOR_STATE})
foreach(mode drive follow chase)
  citywalk_window_test(window_${mode} 60
    ${CMAKE_CURRENT_SOURCE_DIR}/window_walk/run.sh $<TARGET_FILE:citywalk>
    ${CMAKE_CURRENT_SOURCE_DIR}/data/window/${mode} ${CURSOR_STATE})
endforeach()

# The Windows build under Wine (cross-built into build/windows, the `windows` preset, by
# scripts/test.sh before the tests run); skipped with the reason where Wine or the program is
# missing.
set(CITYWALK_WINDOWS_EXE ${CMAKE_SOURCE_DIR}/build/windows/citywalk.exe CACHE FILEPATH
    "citywalk.exe for the Wine test")
citywalk_window_test(window_wine 300
  bash ${CMAKE_CURRENT_SOURCE_DIR}/window/wine_citywalk.sh ${CITYWALK_WINDOWS_EXE}
       ${CMAKE_SOURCE_DIR}/scenes/walk)
set_tests_properties(window_wine PROPERTIES LABELS "window;wine;slow")

# Game controllers through the SDL platform, by SDL's virtual joystick.
add_executable(citywalk_gamepad_tests ${CMAKE_CURRENT_SOURCE_DIR}/window/gamepad_sdl_test.cpp)
target_link_libraries(citywalk_gamepad_tests PRIVATE platform_sdl GTest::gtest)
target_include_directories(citywalk_gamepad_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
citywalk_window_test(window_gamepad 120 citywalk_gamepad_tests)

# A real session per control mode (the demo scenes, with their traffic), recorded with
# --record and traced with --trace, replays headless to the identical trace; the recording
# must hold an F2 pause, a resize and an F3 maximise.
foreach(mode walk drive follow chase)
  citywalk_window_test(window_record_${mode} 180
    bash ${CMAKE_CURRENT_SOURCE_DIR}/window/record_replay.sh $<TARGET_FILE:citywalk>
         $<TARGET_FILE:citywalk-replay> ${CMAKE_SOURCE_DIR}/scenes/${mode})
endforeach()
# A recording of a program that is killed replays up to its last line.
citywalk_window_test(window_record_killed 120
  bash ${CMAKE_CURRENT_SOURCE_DIR}/window/record_killed.sh $<TARGET_FILE:citywalk>
       $<TARGET_FILE:citywalk-replay> ${CMAKE_SOURCE_DIR}/scenes/walk)
