#!/usr/bin/env python3
"""The Windows build's real window, under Wine on a private Xvfb server.

Runs a drawing loop in quenra.exe with SDL's windows video driver (Wine turns its
window into an X11 one), waits until the window titled Quenra is shown, then asks
it to close the way a window manager's close button does (the WM_DELETE_WINDOW
message of the X11 protocol, which Wine hands to the program as a close request),
and expects `is_open` to turn false: the loop ends, prints "closed", exit code 0.

Needs Xvfb, xdotool and libX11. Without them the test is skipped (exit code 77),
except under CI, where it fails.

Usage: wine_window_test.py --bin quenra.exe --wine "COMMAND"

COMMAND should name a Wine prefix that no test without a display uses at the same
time (Wine's display belongs to the prefix's running server).
"""
import argparse
import ctypes
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import xvfb_server

SKIP = 77

LOOP = """window(160, 120)
let frames = 0
while is_open() {
    clear()
    fill(rect(10, 10, 40, 30), color(255, 0, 0))
    fill(circle(100, 70, 30), color(0, 0, 255))
    present()
    frames += 1
}
print("closed")
"""


def fail(message):
    print(f"FAIL: {message}", file=sys.stderr)
    sys.exit(1)


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]


def press_close_button(display, window):
    """Sends what a window manager sends when its close button is clicked."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.POINTER(XEvent)]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    connection = x11.XOpenDisplay(display.encode())
    if not connection:
        fail(f"cannot open display {display}")
    event = XEvent()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = window
    event.xclient.message_type = x11.XInternAtom(connection, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = x11.XInternAtom(connection, b"WM_DELETE_WINDOW", 0)
    event.xclient.data[1] = 0  # CurrentTime
    if not x11.XSendEvent(connection, window, 0, 0, ctypes.byref(event)):
        fail("XSendEvent failed")
    x11.XFlush(connection)
    x11.XCloseDisplay(connection)


def visible_window(env):
    result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Quenra$"], env=env,
                            capture_output=True, text=True, timeout=20)
    ids = result.stdout.split()
    return int(ids[0]) if ids else None


def run(binary, wine):
    with tempfile.TemporaryDirectory(prefix="quenra-wine-") as temp:
        work = Path(temp)
        script = work / "loop.qn"
        script.write_text(LOOP)
        server, display = xvfb_server.start()
        env = dict(os.environ)
        for key in ("SDL_VIDEODRIVER", "SDL_RENDER_DRIVER", "WAYLAND_DISPLAY"):
            env.pop(key, None)
        env["DISPLAY"] = display
        # Wine keeps its display with the prefix's server for as long as that runs:
        # this test has a prefix of its own, readied while the display is up.
        subprocess.run(wine + ["wineboot", "--init"], env=env, capture_output=True, timeout=180)
        program = subprocess.Popen(wine + [binary, script.name], cwd=work, env=env, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE)
        try:
            deadline = time.monotonic() + 90  # Wine starts its services for the display first
            window = None
            while time.monotonic() < deadline and program.poll() is None and window is None:
                window = visible_window(env)
                time.sleep(0.2)
            if window is None:
                out, err = program.communicate(timeout=10) if program.poll() is not None else (b"", b"")
                fail(f"no window titled Quenra appeared (exit {program.poll()}, stdout {out!r}, stderr {err!r})")
            time.sleep(0.5)  # a few frames: the loop is running
            if program.poll() is not None:
                fail(f"the script ended before the window was closed (exit {program.returncode})")
            press_close_button(display, window)
            try:
                out, err = program.communicate(timeout=30)
            except subprocess.TimeoutExpired:
                fail("the script did not end after the close request")
            if program.returncode != 0:
                fail(f"exit code {program.returncode}, standard error {err!r}")
            if out != b"closed\n" or err != b"":
                fail(f"unexpected output {out!r}, standard error {err!r}")
        finally:
            if program.poll() is None:
                program.kill()
                program.wait()
            xvfb_server.stop(server)
    print("ok: quenra.exe's window under Wine closed on the close request and is_open ended the loop")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--wine", required=True, help="the command that runs a Windows program, as one string")
    args = parser.parse_args()
    missing = [tool for tool in ("Xvfb", "xdotool") if shutil.which(tool) is None]
    if missing:
        message = "missing " + ", ".join(missing)
        if os.environ.get("CI"):
            fail(message)
        print(f"skipped: {message}")
        return SKIP
    run(os.path.abspath(args.bin), args.wine.split())
    return 0


if __name__ == "__main__":
    sys.exit(main())
