# Filming a replay (citywalk-replay --video, --frames-dir), checked with ffprobe, ImageMagick
# and the snapshot of the same run. See tests/video/run_video.cmake for what each case checks.
if(NOT TARGET citywalk-replay)
  return()
endif()
find_program(FFPROBE_PROGRAM ffprobe)
find_program(MAGICK_IDENTIFY identify)
find_program(MAGICK_COMPARE_VIDEO compare)
find_program(MAGICK_CONVERT convert)
if(NOT FFPROBE_PROGRAM OR NOT MAGICK_IDENTIFY OR NOT MAGICK_COMPARE_VIDEO OR NOT MAGICK_CONVERT)
  message(FATAL_ERROR "the video tests need ffmpeg and ImageMagick (scripts/deps.sh test)")
endif()

# NAME | citywalk-replay options (',' between them) | what the run must give
set(video_cases
    "mp4|--screen,160x120,--video,OUT/drive.mp4,--progress|h264,160,120,25/1,30"
    "webm|--screen,160x120,--video,OUT/drive.webm|vp9,160,120,25/1,30"
    "webp|--screen,160x120,--video,OUT/drive.webp|160 120 4"
    "gif|--screen,160x120,--video,OUT/drive.gif|gif,160,120,25/1,30"
    "frames_same|--screen,200x150,--frames-dir,OUT/frames|100%"
    "frames_double|--screen,400x300,--frames-dir,OUT/frames|200%"
    "refuse_type|--screen,160x120,--video,OUT/drive.avi|drive.avi: unknown video type"
    "refuse_folder|--screen,160x120,--video,OUT/none/drive.mp4|drive.mp4: cannot write"
    "refuse_odd|--screen,161x120,--video,OUT/drive.mp4|drive.mp4: H.264 needs an even"
    "refuse_ffmpeg|--screen,160x120,--video,OUT/drive.gif|drive.gif: the ffmpeg program is not"
    "ffmpeg_fails|--screen,160x120,--video,OUT/drive.mp4|drive.mp4: ffmpeg")
foreach(case IN LISTS video_cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 name)
  list(GET fields 1 options)
  list(GET fields 2 want)
  add_test(NAME video_${name}
           COMMAND ${CMAKE_COMMAND} -DREPLAY=$<TARGET_FILE:citywalk-replay>
                   -DSCENE=${PROJECT_SOURCE_DIR}/scenes/drive -DNAME=${name}
                   "-DOPTIONS=${options}" "-DWANT=${want}"
                   -DWORK=${CMAKE_CURRENT_BINARY_DIR}/video_${name}
                   -DFFPROBE=${FFPROBE_PROGRAM} -DIDENTIFY=${MAGICK_IDENTIFY}
                   -DCOMPARE=${MAGICK_COMPARE_VIDEO} -DCONVERT=${MAGICK_CONVERT}
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/video/run_video.cmake)
endforeach()
