# Graphics tests beyond the unit and script tests: a real X11 window on a private
# Xvfb server (skipped with exit code 77 where the X tools are missing, outside CI).
add_test(NAME graphics.xvfb_window
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/graphics/xvfb_window_test.py
                 --bin $<TARGET_FILE:quenra>)
set_tests_properties(graphics.xvfb_window PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77)

# Ctrl-C and SIGTERM while a window is open: a quit event first, then the default.
add_test(NAME graphics.quit_signals
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/graphics/quit_signal_test.py
                 --bin $<TARGET_FILE:quenra>)
set_tests_properties(graphics.quit_signals PROPERTIES TIMEOUT 180 SKIP_RETURN_CODE 77)
