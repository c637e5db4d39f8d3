# When the world around the program fails: its display goes away, a signal asks it to end, the
# disk fills under what it and the tools write. Each runs the real programs, the first two on an
# X server of its own (so they need no shared display and run in the sanitizer build too); the
# disk tests mount a small tmpfs and need root. Each skips (77) without what it needs.
if(NOT TARGET citywalk-replay)
  return()
endif()
set(ending ${CMAKE_CURRENT_SOURCE_DIR}/ending)
# The scene maximises the window and takes a display mode: tearing SDL down then waited on
# the dead connection for ever.
add_test(NAME ending_display_lost
         COMMAND bash ${ending}/display_lost.sh $<TARGET_FILE:citywalk>
                 $<TARGET_FILE:citywalk-replay> ${CMAKE_CURRENT_SOURCE_DIR}/data/window/maximised)
add_test(NAME ending_signals
         COMMAND bash ${ending}/end_signals.sh $<TARGET_FILE:citywalk>
                 $<TARGET_FILE:citywalk-replay> ${CMAKE_CURRENT_SOURCE_DIR}/data/window/maximised)
add_test(NAME ending_full_disk_tools
         COMMAND bash ${ending}/full_disk.sh tools $<TARGET_FILE:citywalk-replay>
                 $<TARGET_FILE:citywalk-scenegen> $<TARGET_FILE:citywalk-import>
                 $<TARGET_FILE:citywalk-set> /usr/share/assimp/models/OBJ/box.obj
                 ${CMAKE_SOURCE_DIR}/scenes/drive)
add_test(NAME ending_full_disk_program
         COMMAND bash ${ending}/full_disk.sh program $<TARGET_FILE:citywalk>
                 $<TARGET_FILE:citywalk-replay> ${CMAKE_SOURCE_DIR}/scenes/walk)
set_tests_properties(ending_display_lost ending_signals ending_full_disk_tools
                     ending_full_disk_program PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120
                     LABELS slow)
