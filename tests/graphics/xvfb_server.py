"""A private Xvfb server for the tests and tools that need a real X display."""
import os
import subprocess
import sys


def start(screen="640x480x24"):
    """Starts Xvfb on the first free display number and returns (process, display).
    Ends the run with exit code 1 when the server does not start.

    -noreset: by default the server resets when its last client leaves, and a client
    that connects during the reset is refused. Polling with xdotool makes exactly that
    pattern (connect, leave) while the program under test opens its display, which
    then failed about once in forty runs with "x11 not available".
    """
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen, "-nolisten", "tcp",
                               "-noreset"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    os.close(write_end)
    # The number is written once the server accepts connections.
    with os.fdopen(read_end, "rb") as pipe:
        number = pipe.readline().decode(errors="replace").strip()
    if not number:
        server.kill()
        server.wait()
        sys.exit("FAIL: Xvfb did not start")
    return server, ":" + number


def stop(server):
    server.terminate()
    try:
        server.wait(timeout=10)
    except subprocess.TimeoutExpired:
        server.kill()
        server.wait()
