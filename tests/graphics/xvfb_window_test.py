#!/usr/bin/env python3
"""End-to-end test of a real X11 window, on a private Xvfb server.

Runs a drawing loop with SDL's x11 driver, finds the window titled Quenra with
xdotool, screenshots it by window id with xwd until it shows the expected frame, then
presses Escape and expects the script's loop to end with exit code 0. The expected
frame is the same scene drawn once by the headless dummy driver, saved by SDL as a
BMP: both paths must give the same pixels.

Needs Xvfb, xdotool, xwd and ImageMagick's convert. Without them the test is skipped
(exit code 77), except under CI, where it fails.

Usage: xvfb_window_test.py --bin PATH
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import xvfb_server

SKIP = 77
WIDTH, HEIGHT = 160, 120

SCENE = """
    fill(rect(10, 10, 40, 30), color(255, 0, 0))
    draw(rect(60, 10, 40, 30), color(0, 255, 0))
    fill(circle(40, 80, 20), color(0, 0, 255))
    draw(circle(110, 80, 20), color(255, 255, 0))
    fill(triangle(120, 5, 155, 5, 140, 50), color(0, 255, 255))
    draw(triangle(5, 115, 80, 100, 150, 118), color(255, 0, 255))
    fill(rect(-1073741700, 118, 2147483647, 2), color(255, 255, 255))
"""

LOOP = f"""window({WIDTH}, {HEIGHT})
while is_open() {{
    clear()
{SCENE}
    present()
}}
print("closed")
"""

ONE_FRAME = f"""window({WIDTH}, {HEIGHT})
clear()
{SCENE}
present()
"""


def fail(message):
    print(f"FAIL: {message}", file=sys.stderr)
    sys.exit(1)


def headless_env():
    env = dict(os.environ)
    for key in ("SDL_RENDER_DRIVER", "SDL_RENDER_LINE_METHOD", "DISPLAY", "WAYLAND_DISPLAY"):
        env.pop(key, None)
    return env


def to_rgb(image_bytes, image_format):
    """Raw 8-bit RGB of an image given as bytes in an ImageMagick-readable format."""
    result = subprocess.run(["convert", f"{image_format}:-", "-depth", "8", "rgb:-"], input=image_bytes,
                            capture_output=True, timeout=20)
    return result.stdout if result.returncode == 0 else None


def expected_frame(binary, work):
    script = work / "one_frame.qn"
    script.write_text(ONE_FRAME)
    env = headless_env()
    env.update(SDL_VIDEODRIVER="dummy", SDL_VIDEO_DUMMY_SAVE_FRAMES="1")
    result = subprocess.run([binary, str(script)], cwd=work, env=env, capture_output=True, timeout=30)
    frame = work / "SDL_window1-00000001.bmp"
    if result.returncode != 0 or not frame.exists():
        fail(f"the headless reference run failed: {result.returncode} {result.stderr!r}")
    rgb = to_rgb(frame.read_bytes(), "bmp")
    if rgb is None or len(rgb) != WIDTH * HEIGHT * 3:
        fail("could not read the headless reference frame")
    return rgb


def window_id(env):
    result = subprocess.run(["xdotool", "search", "--name", "^Quenra$"], env=env, capture_output=True, text=True,
                            timeout=10)
    ids = result.stdout.split()
    return ids[0] if ids else None


def screenshot(env, wid):
    shot = subprocess.run(["xwd", "-id", wid, "-silent"], env=env, capture_output=True, timeout=10)
    return to_rgb(shot.stdout, "xwd") if shot.returncode == 0 else None


def run(binary):
    with tempfile.TemporaryDirectory(prefix="quenra-xvfb-") as temp:
        work = Path(temp)
        expected = expected_frame(binary, work)
        server, display = xvfb_server.start()
        script = work / "loop.qn"
        script.write_text(LOOP)
        env = headless_env()
        env.update(DISPLAY=display, SDL_VIDEODRIVER="x11")
        env.pop("SDL_VIDEO_DUMMY_SAVE_FRAMES", None)
        # For a sanitizer build: the x11 driver loads D-Bus and a GL driver, which keep
        # memory to the end of the process and are unloaded before the leak report can
        # name them. Leaks are checked on the headless runs, which load neither; every
        # other check stays on here.
        env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS", ""), "detect_leaks=0"]))
        program = subprocess.Popen([binary, str(script)], cwd=work, env=env, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE)
        try:
            # The window shows black for a while after it appears: poll, looking the
            # id up again each time.
            deadline = time.monotonic() + 30
            matched = None
            last = None
            while time.monotonic() < deadline and program.poll() is None:
                wid = window_id(env)
                if wid is not None:
                    last = screenshot(env, wid)
                    if last == expected:
                        matched = wid
                        break
                time.sleep(0.1)
            if matched is None:
                differing = None if last is None or len(last) != len(expected) else sum(
                    1 for i in range(0, len(expected), 3) if last[i:i + 3] != expected[i:i + 3])
                # What the program said, if it ended by itself, tells why.
                said = ""
                if program.poll() is not None:
                    out, err = program.communicate()
                    said = f"; stdout {out.decode(errors='replace')!r}, stderr {err.decode(errors='replace')[-2000:]!r}"
                fail(f"the window never showed the expected frame (exit {program.poll()}, "
                     f"differing pixels: {differing}){said}")
            # Keys go to the window under the pointer when no window manager runs.
            subprocess.run(["xdotool", "mousemove", "--window", matched, "5", "5"], env=env, timeout=10)
            subprocess.run(["xdotool", "key", "Escape"], env=env, check=True, timeout=10)
            try:
                out, err = program.communicate(timeout=20)
            except subprocess.TimeoutExpired:
                fail("the script did not end after Escape")
            if program.returncode != 0:
                fail(f"exit code {program.returncode}, standard error {err!r}")
            if out != b"closed\n" or err != b"":
                fail(f"unexpected output {out!r}, standard error {err!r}")
        finally:
            if program.poll() is None:
                program.kill()
                program.wait()
            xvfb_server.stop(server)
    print("ok: the X11 window showed the expected frame and closed with Escape")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    args = parser.parse_args()
    missing = [tool for tool in ("Xvfb", "xdotool", "xwd", "convert") if shutil.which(tool) is None]
    if missing:
        message = "missing " + ", ".join(missing)
        if os.environ.get("CI"):
            fail(message)
        print(f"skipped: {message}")
        return SKIP
    run(os.path.abspath(args.bin))
    return 0


if __name__ == "__main__":
    sys.exit(main())
