# Installs the build into PREFIX (cmake --install), then runs what was installed: the replay
# tool in the installed walking demo for 5 frames, the checker on the installed example of the
# scene format guide, and the program's --help, which lists the installed demos (found from
# PREFIX/bin, wherever PREFIX is); a name that is neither a folder nor a demo is refused.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(file bin/citywalk bin/citywalk-check bin/citywalk-replay bin/citywalk-scenegen bin/citywalk-set
             bin/citywalk-map
             share/citywalk/scenes/walk/Город.mts share/citywalk/scenes/chase/Город.mts
             share/doc/citywalk/scene-format.md)
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "${file} was not installed")
  endif()
endforeach()
execute_process(COMMAND ${PREFIX}/bin/citywalk-replay --dir ${PREFIX}/share/citywalk/scenes/walk
                        --frames 5 --trace -
                RESULT_VARIABLE result OUTPUT_VARIABLE trace ERROR_VARIABLE errors)
string(REGEX MATCHALL "\"frame\":" frames "${trace}")
list(LENGTH frames count)
if(NOT result EQUAL 0 OR NOT count EQUAL 5)
  message(FATAL_ERROR "the installed replay drew ${count} frames (status ${result}): ${errors}")
endif()
execute_process(COMMAND ${PREFIX}/bin/citywalk-check
                        ${PREFIX}/share/doc/citywalk/examples/street/Город.mts
                RESULT_VARIABLE result OUTPUT_VARIABLE report)
if(NOT result EQUAL 0 OR NOT report MATCHES "0 error\\(s\\), 0 warning\\(s\\)")
  message(FATAL_ERROR "the installed example does not read cleanly:\n${report}")
endif()
execute_process(COMMAND ${PREFIX}/bin/citywalk --help RESULT_VARIABLE result OUTPUT_VARIABLE help)
if(NOT result EQUAL 0 OR NOT help MATCHES "usage: citywalk"
   OR NOT help MATCHES "\\(citywalk drive\\): chase drive follow walk \\(in ${PREFIX}/share/citywalk/scenes\\)")
  message(FATAL_ERROR "the installed citywalk --help failed or lists no demos:\n${help}")
endif()
execute_process(COMMAND ${PREFIX}/bin/citywalk no-such-demo WORKING_DIRECTORY ${PREFIX}
                RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 2 OR NOT errors MATCHES "no demo of that name; demos: chase drive follow walk")
  message(FATAL_ERROR "citywalk no-such-demo: status ${result}, ${errors}")
endif()
