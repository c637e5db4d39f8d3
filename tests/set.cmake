# citywalk-set: settings set by name land where the reader reads them and nothing else in the
# file changes; refusals leave the scene as it was.
if(NOT TARGET citywalk-set)
  return()
endif()
set(SET_SCENES ${CMAKE_CURRENT_BINARY_DIR}/set-scenes)

# A scene as the tools' writer writes it: the counts, items 2 to 6 (line 6 the 26 motion
# settings), no posts, the background colour and a ground square in the plain list.
set(plain_settings
    "1 0 0 0 60 0 0 2000 1000 0 1 0 0\n0 -17 40 0 -17 0 180 8\n1 20 10\n0 0 0 0 0 0 1\n")
set(plain_motion "2 5 1 70 70 6 20 3 1.2 5 7 0.07 0.3 0.4 0.4 0.7 0.01 0.2 0.5 1.5 0.8 50 2 60 4 0.17\n")
set(plain_rest "0\n0.55 0.72 0.92\n0.42 0.45 0.38 -500 0 -500 0\n500 0 -500 0\n500 0 500 0\n-500 0 500 1\n")
file(WRITE ${SET_SCENES}/plain.mts "0 4 0 -1 1\n${plain_settings}${plain_motion}${plain_rest}")
# ControlMode=2 bodyX=120 startHeadingDeg=90 farPlane=5000 clearBlue=0.25 walkDeflectLimit=30
# slideTurnPercent=40 trembleAmplitude=0.5: farPlane is item 2's 8th field, bodyX and
# startHeadingDeg item 3's 1st and 7th, ControlMode item 4's 1st, the three motion settings
# the 9th, 22nd and 26th of line 6 (the reader converts them; they are written as given, the
# tremble too although mode 2 divides it), clearBlue the background's 3rd.
file(WRITE ${SET_SCENES}/plain-set.mts
     "0 4 0 -1 1\n1 0 0 0 60 0 0 5000 1000 0 1 0 0\n120 -17 40 0 -17 0 90 8\n2 20 10\n"
     "0 0 0 0 0 0 1\n"
     "2 5 1 70 70 6 20 3 30 5 7 0.07 0.3 0.4 0.4 0.7 0.01 0.2 0.5 1.5 0.8 40 2 60 4 0.5\n"
     "0\n0.55 0.72 0.25\n0.42 0.45 0.38 -500 0 -500 0\n500 0 -500 0\n500 0 500 0\n-500 0 500 1\n")
# The same scene written by hand: line ends CR LF, tabs, fieldOfView in hexadecimal, farPlane
# with an exponent, a level written ".5" and light 1's "00" (octal). Rewritten by the writer,
# every value reads back the same.
file(WRITE ${SET_SCENES}/hand.mts
     "0\t4 0 -1 1\r\n1 0 0 0 0x3C 0 0 2e3 1000 0 1 .5 00\r\n0 -17 40   0 -17 0 180 8\r\n"
     "1 20 10\r\n0 0 0 0 0 0 1\r\n${plain_motion}0\r\n0.55 0.72 0.92\r\n"
     "0.42 0.45 0.38 -500 0 -500 0\r\n500 0 -500 0\r\n500 0 500 0\r\n-500 0 500 1\r\n")
file(WRITE ${SET_SCENES}/cut.mts "0 4 0 -1 1\n${plain_settings}")

# set_case(NAME SCENE FILE ARGS ... STATUS S [EXPECT FILE] [SAME_JSON_BUT KEY ...] [OUTPUT RE])
function(set_case name)
  cmake_parse_arguments(C "" "SCENE;STATUS;EXPECT;OUTPUT" "ARGS;SAME_JSON_BUT" ${ARGN})
  string(REPLACE ";" "|" args "${C_ARGS}")
  string(REPLACE ";" "|" keys "${C_SAME_JSON_BUT}")
  add_test(NAME set_${name}
           COMMAND ${CMAKE_COMMAND} -DSET=$<TARGET_FILE:citywalk-set>
                   -DCHECK=$<TARGET_FILE:citywalk-check> -DWORK=${CMAKE_CURRENT_BINARY_DIR}/set/${name}
                   -DSCENE=${C_SCENE} "-DARGS=${args}" -DSTATUS=${C_STATUS} "-DEXPECT=${C_EXPECT}"
                   "-DKEYS=${keys}" "-DOUTPUT=${C_OUTPUT}"
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/set/run_set.cmake)
  set_tests_properties(set_${name} PROPERTIES LABELS set)
endfunction()

set_case(round_trip SCENE ${SET_SCENES}/plain.mts STATUS 0 EXPECT ${SET_SCENES}/plain-set.mts
         ARGS ControlMode=2 bodyX=120 startHeadingDeg=90 farPlane=5000 clearBlue=0.25
              walkDeflectLimit=30 slideTurnPercent=40 trembleAmplitude=0.5
         OUTPUT "bodyX=120 \\(was 0\\)")
set_case(hand_written SCENE ${SET_SCENES}/hand.mts ARGS clearGreen=0.5 STATUS 0
         SAME_JSON_BUT clearGreen)
set_case(lists_settings SCENE ${SET_SCENES}/plain.mts STATUS 0 EXPECT ${SET_SCENES}/plain.mts
         OUTPUT "^displayModeIndex=1\nlight0Enabled=0\n.*\nfieldOfView=60\n.*\nfarPlane=2000\n.*\nwalkDeflectLimit=1.2\n.*\nclearBlue=0.92\n$")
# Refused: one line, status 1, the scene as it was. The last is refused by the reader: walking
# watched from behind with a step divisor of 0 makes the camera's boom step infinite.
foreach(refusal "unknown|bodyx=1|did you mean bodyX\\?.*; the names: displayModeIndex, "
                "fraction|ControlMode=2.5|ControlMode: must be a whole number"
                "mode|ControlMode=9|must be 1 \\(walking\\), 2 \\(driving\\)"
                "infinite|farPlane=1e999|farPlane: must be a number"
                "no_value|farPlane|'farPlane': wants NAME=VALUE"
                "second_bad|bodyX=5|nothing=1|no setting 'nothing'"
                "new_fault|ControlMode=3|walkStepDivisor=0|would have a fault: the chase camera's boom step")
  string(REPLACE "|" ";" fields "${refusal}")
  list(POP_FRONT fields name)
  list(POP_BACK fields output)
  set_case(refused_${name} SCENE ${SET_SCENES}/plain.mts ARGS ${fields} STATUS 1 OUTPUT "${output}")
endforeach()
set_case(refused_cut_scene SCENE ${SET_SCENES}/cut.mts ARGS bodyX=1 STATUS 1
         OUTPUT "must read cleanly")
add_test(NAME set_missing_folder COMMAND citywalk-set ${CMAKE_CURRENT_BINARY_DIR}/no-such-folder
                                         bodyX=1)
set_tests_properties(set_missing_folder PROPERTIES WILL_FAIL TRUE LABELS set)
