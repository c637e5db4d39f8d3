# The program's layers point one way: nothing includes from a layer above its own.
add_test(NAME layers_include_downward
         COMMAND ${CMAKE_COMMAND} -DSRC=${CMAKE_SOURCE_DIR}/src
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/layers/check_includes.cmake)
