# Runs one filming case of tests/video.cmake: 30 frames of scenes/drive with OPTIONS (OUT
# stands for WORK/out), then checks by the case's kind:
#   a video     ffprobe's codec, width, height, rate and decoded frame count equal WANT
#               (animated WebP, which ffprobe does not decode: ImageMagick's canvas size and
#               frame delay in 1/100 s for each of the 30 frames); --progress ends at 30 of 30
#   frames_*    30 PNG files at the --screen size; the last is the snapshot of the same run
#               scaled by WANT (whole pixels, as the window is fitted to the screen): 0 pixels
#               may differ, PNG being lossless
#   refuse_*    exit 1, one line on standard error naming the file with WANT, no frame drawn
#               (an empty trace) and nothing left in OUT
#   ffmpeg_fails  an ffmpeg that fails at once: exit 1 after the frames, one line naming the
#               file with WANT, the video that was there before untouched, no temporary left
cmake_minimum_required(VERSION 3.20)
set(out ${WORK}/out)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${out})
string(REPLACE "OUT" "${out}" options "${OPTIONS}")
string(REPLACE "," ";" options "${options}")
set(run ${REPLAY} --dir ${SCENE} --frames 30 --trace ${WORK}/trace.jsonl
        --snapshot ${WORK}/snapshot.bmp ${options})
if(NAME STREQUAL "refuse_ffmpeg")
  set(run ${CMAKE_COMMAND} -E env PATH=${WORK} ${run})
elseif(NAME STREQUAL "ffmpeg_fails")
  file(WRITE ${WORK}/bin/ffmpeg "#!/bin/sh\nexit 3\n")
  file(CHMOD ${WORK}/bin/ffmpeg PERMISSIONS OWNER_READ OWNER_EXECUTE)
  file(WRITE ${out}/drive.mp4 "the video of an earlier run")
  set(run ${CMAKE_COMMAND} -E env PATH=${WORK}/bin ${run})
endif()
execute_process(COMMAND ${run} RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_QUIET)
# The sanitizer build adds its list of suppressed leaks (in the GL library) at the end.
string(REGEX REPLACE "-+\nSuppressions used:.*$" "" err "${err}")

if(NAME STREQUAL "ffmpeg_fails")
  file(READ ${out}/drive.mp4 before)
  file(GLOB left ${out}/*)
  if(NOT status EQUAL 1 OR NOT err MATCHES "^citywalk-replay: [^\n]*${WANT}[^\n]*\n$"
     OR NOT before STREQUAL "the video of an earlier run" OR NOT left STREQUAL "${out}/drive.mp4")
    message(FATAL_ERROR "want exit 1, one line '${WANT}', the earlier video kept and nothing "
                        "else; got exit ${status}, files '${left}', stderr:\n${err}")
  endif()
  return()
endif()

if(NAME MATCHES "^refuse_")
  file(SIZE ${WORK}/trace.jsonl traced)
  file(GLOB left ${out}/*)
  if(NOT status EQUAL 1 OR NOT err MATCHES "^citywalk-replay: [^\n]*${WANT}[^\n]*\n$"
     OR NOT traced EQUAL 0 OR left)
    message(FATAL_ERROR "want exit 1, one line '${WANT}', no frame and no file; got exit "
                        "${status}, ${traced} bytes of trace, files '${left}', stderr:\n${err}")
  endif()
  return()
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "citywalk-replay exited with ${status}:\n${err}")
endif()
file(GLOB left ${out}/*.part ${out}/frames/*.part)
if(left)
  message(FATAL_ERROR "temporary files left behind: ${left}")
endif()

if(NAME MATCHES "^frames_")
  file(GLOB pngs ${out}/frames/frame-*.png)
  list(LENGTH pngs count)
  execute_process(COMMAND ${IDENTIFY} -format "%w %h\n" ${out}/frames/frame-00001.png
                          ${out}/frames/frame-00030.png OUTPUT_VARIABLE sizes)
  list(FIND options --screen at)
  math(EXPR at "${at} + 1")
  list(GET options ${at} screen)
  string(REPLACE "x" " " screen "${screen}")
  if(NOT count EQUAL 30 OR NOT sizes STREQUAL "${screen}\n${screen}\n")
    message(FATAL_ERROR "want 30 PNG frames of ${screen}; got ${count}, sizes:\n${sizes}")
  endif()
  execute_process(COMMAND ${CONVERT} ${WORK}/snapshot.bmp -scale ${WANT} ${WORK}/scaled.png)
  execute_process(COMMAND ${COMPARE} -metric AE ${out}/frames/frame-00030.png ${WORK}/scaled.png
                          null:
                  RESULT_VARIABLE result ERROR_VARIABLE differing)
  if(NOT result EQUAL 0 OR NOT differing STREQUAL "0")
    message(FATAL_ERROR "the last frame differs from the snapshot scaled ${WANT}: "
                        "${result} ${differing}")
  endif()
  return()
endif()

file(GLOB video ${out}/drive.*)
if(NAME STREQUAL "webp")
  execute_process(COMMAND ${FFPROBE} -v error -show_entries stream=codec_name -of csv=p=0
                          ${video} OUTPUT_VARIABLE codec ERROR_QUIET)
  execute_process(COMMAND ${IDENTIFY} -format "%W %H %T\n" ${video} OUTPUT_VARIABLE frames)
  string(REPEAT "${WANT}\n" 30 want)
  if(NOT codec STREQUAL "webp\n" OR NOT frames STREQUAL want)
    message(FATAL_ERROR "want a WebP of 30 frames '${WANT}'; got codec ${codec}:\n${frames}")
  endif()
else()
  execute_process(COMMAND ${FFPROBE} -v error -count_frames -select_streams v:0
                          -show_entries stream=codec_name,width,height,r_frame_rate,nb_read_frames
                          -of csv=p=0 ${video} OUTPUT_VARIABLE got RESULT_VARIABLE result)
  if(NOT result EQUAL 0 OR NOT got STREQUAL "${WANT}\n")
    message(FATAL_ERROR "ffprobe: want ${WANT}, got ${result}: ${got}")
  endif()
endif()
if("--progress" IN_LIST options AND NOT err MATCHES "frame 30 of 30, 0:00 left *\n$")
  message(FATAL_ERROR "no final progress line:\n${err}")
endif()
