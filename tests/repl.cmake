# The interactive loop on a real terminal: a tmux session types at it as a user
# would. Without tmux the test reports itself as skipped rather than passing.
add_test(NAME repl.terminal
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/repl/terminal_session.py
                 --bin $<TARGET_FILE:quenra>)
set_tests_properties(repl.terminal PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
