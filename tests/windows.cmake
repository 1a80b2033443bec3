# Tests of the Windows build beyond the unit and script tests, run under Wine.
# (The Linux-only tests — terminals, signals, memory limits, X11 — are not built.)

# quenra.exe's own window: the close request ends is_open.
add_test(NAME graphics.wine_window
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/graphics/wine_window_test.py
                 --bin $<TARGET_FILE:quenra>
                 --wine "env WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix-x11 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= /usr/lib/wine/wine64")
set_tests_properties(graphics.wine_window PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
