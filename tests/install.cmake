# cmake --install puts the program, the tools, the demo scenes and the guide under a prefix,
# and what it installs runs.
add_test(NAME install_and_run
         COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR}
                 -DPREFIX=${CMAKE_CURRENT_BINARY_DIR}/install-prefix
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/install/run_installed.cmake)
