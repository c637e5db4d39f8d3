# Runs citywalk-check on SCENE (from the scene's folder, so that messages name the file
# alone) and compares with EXPECT: its first line "exit N", every further line a text the
# output must contain.
# With SCENE "none" it runs without a file argument in the folder EMPTY_DIR.
if(SCENE STREQUAL "none")
  file(MAKE_DIRECTORY ${EMPTY_DIR})
  execute_process(COMMAND ${CHECK} WORKING_DIRECTORY ${EMPTY_DIR}
                  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(out "${out}${err}")
else()
  get_filename_component(dir ${SCENE} DIRECTORY)
  get_filename_component(name ${SCENE} NAME)
  execute_process(COMMAND ${CHECK} ${name} WORKING_DIRECTORY ${dir}
                  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
endif()
file(STRINGS ${EXPECT} lines)
list(POP_FRONT lines first)
string(REGEX REPLACE "^exit " "" want ${first})
if(NOT code STREQUAL want)
  message(FATAL_ERROR "exit code ${code}, expected ${want}\n${out}${err}")
endif()
foreach(line IN LISTS lines)
  string(FIND "${out}" "${line}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "missing from the output: ${line}\n--- output:\n${out}${err}")
  endif()
endforeach()
