# Real-window tests of the SDL build on the X display (CI: xvfb-run); skipped (77) without one.
# They share the display's pointer and keyboard focus and measure idle CPU and frame timing,
# so they run alone.
add_executable(citywalk_window_tests ${CMAKE_CURRENT_SOURCE_DIR}/window/platform_sdl_test.cpp)
target_link_libraries(citywalk_window_tests PRIVATE platform_sdl GTest::gtest)
add_test(NAME window_platform_sdl COMMAND citywalk_window_tests)
set_tests_properties(window_platform_sdl PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120
                     RUN_SERIAL TRUE)

add_test(NAME window_citywalk
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/window/citywalk_window.sh
                 $<TARGET_FILE:citywalk>)
set_tests_properties(window_citywalk PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 60 RUN_SERIAL TRUE)

# A scene that maximises the window and switches the display mode.
add_test(NAME window_citywalk_maximised
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/window/citywalk_window.sh
                 $<TARGET_FILE:citywalk> ${CMAKE_CURRENT_SOURCE_DIR}/data/window/maximised)
set_tests_properties(window_citywalk_maximised PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 60
                     RUN_SERIAL TRUE)

# Closing the window as a window manager does (needs Xlib for the close request).
find_package(X11 QUIET)
if(X11_FOUND)
  add_executable(citywalk-close-request ${CMAKE_CURRENT_SOURCE_DIR}/window/close_request.cpp)
  target_include_directories(citywalk-close-request PRIVATE ${X11_INCLUDE_DIR})
  target_link_libraries(citywalk-close-request PRIVATE ${X11_LIBRARIES})
  add_test(NAME window_citywalk_close
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/window/citywalk_close.sh
                   $<TARGET_FILE:citywalk> $<TARGET_FILE:citywalk-close-request>)
  set_tests_properties(window_citywalk_close PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 60
                       RUN_SERIAL TRUE)
endif()

# Driving (mode 2), the walking figure (3) and the car watched from outside (4) in a real
# window: holding Up moves the picture, F2 pauses, Esc ends the program with status 0. The
# scenes have no traffic, so only the user can change the picture.
foreach(mode drive follow chase)
  add_test(NAME window_${mode}
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/window_walk/run.sh $<TARGET_FILE:citywalk>
                   ${CMAKE_CURRENT_SOURCE_DIR}/data/window/${mode} ${WALK_CURSOR_STATE})
  set_tests_properties(window_${mode} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 60
                       RUN_SERIAL TRUE)
endforeach()

# The Windows build under Wine (cross-built into build/windows by scripts/test.sh before the
# tests run); skipped with the reason where Wine or the program is missing.
set(CITYWALK_WINDOWS_EXE ${CMAKE_SOURCE_DIR}/build/windows/citywalk.exe CACHE FILEPATH
    "citywalk.exe for the Wine test")
add_test(NAME window_wine
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/window/wine_citywalk.sh ${CITYWALK_WINDOWS_EXE}
                 ${CMAKE_SOURCE_DIR}/scenes/walk)
set_tests_properties(window_wine PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL TRUE)
