# Pictures drawn by the program, checked at pixels computed from the projection.
if(NOT COMMAND citywalk_replay_case)
  message(FATAL_ERROR "the picture replays need citywalk_replay_case (tests/replay.cmake)")
endif()
citywalk_replay_case(NAME pictures_flat SCENE pictures/flat EXPECT pictures/flat.expect
                     FRAMES 2)
citywalk_replay_case(NAME pictures_lit SCENE pictures/lit EXPECT pictures/lit.expect FRAMES 2)
citywalk_replay_case(NAME pictures_unlit SCENE pictures/unlit EXPECT pictures/unlit.expect
                     FRAMES 2)
citywalk_replay_case(NAME pictures_objects SCENE pictures/objects EXPECT pictures/objects.expect
                     FRAMES 2)
citywalk_replay_case(NAME pictures_follow SCENE pictures/follow EXPECT pictures/follow.expect
                     FRAMES 60)
