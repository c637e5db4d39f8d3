# compare_to_committed(COMMITTED MADE WIDTH HEIGHT RESULT): the number of pixels of MADE that
# differ from the committed picture COMMITTED, a pixel counting when a channel differs by more
# than 5% (Mesa versions and processors may rasterise edges a little differently); fails the
# test when it exceeds 0.5% of WIDTH x HEIGHT. RESULT receives the count.
function(compare_to_committed committed made width height result)
  execute_process(COMMAND ${COMPARE} -metric AE -fuzz 5% ${committed} ${made} null:
                  RESULT_VARIABLE status ERROR_VARIABLE differing)
  string(REGEX MATCH "^[0-9.e+]+" differing "${differing}")
  if(status GREATER 1 OR differing STREQUAL "")
    message(FATAL_ERROR "compare failed: ${status} ${differing}")
  endif()
  math(EXPR limit "${width} * ${height} / 200")
  if(differing GREATER ${limit})
    set(${result} ${differing} PARENT_SCOPE)
    return()
  endif()
  set(${result} 0 PARENT_SCOPE)
  message(STATUS "${differing} pixels differ (at most ${limit} may)")
endfunction()
