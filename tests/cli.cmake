# The program's command line: `citywalk --help` prints the usage and the keys of every mode
# (no display needed), and a scene folder that does not exist is refused with status 2.
add_test(NAME cli_help COMMAND citywalk --help)
set_tests_properties(cli_help PROPERTIES
  PASS_REGULAR_EXPRESSION "usage: citywalk \\[--record FILE\\] \\[--trace FILE\\] \\[DIR \\| DEMO\\].*Mode 2, driving.*Mode 4")
add_test(NAME cli_missing_folder
         COMMAND sh -c "\"$0\" \"$1\" 2>&1; echo status $?" $<TARGET_FILE:citywalk>
                 ${CMAKE_CURRENT_BINARY_DIR}/no-such-folder)
set_tests_properties(cli_missing_folder PROPERTIES
  PASS_REGULAR_EXPRESSION "citywalk: .*no-such-folder: No such file or directory.status 2")

# Every tool answers --help with its usage on standard output and status 0.
add_test(NAME cli_tools_help
         COMMAND sh -c "for t; do out=$(\"$t\" --help 2>/dev/null) || { echo \"$t: status $?\"; exit 1; }; case \"$out\" in *usage:*) ;; *) echo \"$t: no usage on stdout\"; exit 1 ;; esac; done"
                 sh $<TARGET_FILE:citywalk-check> $<TARGET_FILE:citywalk-replay>
                 $<TARGET_FILE:citywalk-expect> $<TARGET_FILE:citywalk-scenegen>
                 $<TARGET_FILE:citywalk-import> $<TARGET_FILE:citywalk-set>)
