#!/usr/bin/env python3
"""Takes the README screenshots of the graphics examples on a private Xvfb server.

Each example runs with SDL's x11 driver; once its window has shown a frame that is
not all black, the window is captured by id with xwd, converted to PNG under
docs/screenshots/, and the example is ended with Escape (the console toy by the end
of its input).

Usage: tests/graphics/take_screenshots.py --bin build/quenra
"""
import argparse
import os
import subprocess
import sys
import time
from pathlib import Path

import xvfb_server

ROOT = Path(__file__).resolve().parents[2]

# Example, console input fed to it (None: none), seconds to let it run first.
EXAMPLES = [
    ("shapes_gallery", None, 0.5),
    ("bouncing_balls", None, 1.5),
    ("particles", None, 2.0),
    ("brick_breaker", None, 3.0),
    ("sketch_walker", b"dddddsssscddddwwwwwwc\naaaaaaaaassssssssc\nddddddddddd\n", 1.0),
]


def capture(env, out_path):
    """Captures the Quenra window once it shows something; True on success."""
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        ids = subprocess.run(["xdotool", "search", "--name", "^Quenra$"], env=env, capture_output=True,
                             text=True).stdout.split()
        if ids:
            shot = subprocess.run(["xwd", "-id", ids[0], "-silent"], env=env, capture_output=True)
            if shot.returncode == 0:
                mean = subprocess.run(["convert", "xwd:-", "-format", "%[fx:mean]", "info:"], input=shot.stdout,
                                      capture_output=True).stdout.decode()
                if mean and float(mean) > 0:
                    subprocess.run(["convert", "xwd:-", "-strip", str(out_path)], input=shot.stdout, check=True)
                    return ids[0]
        time.sleep(0.1)
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    args = parser.parse_args()
    binary = os.path.abspath(args.bin)
    out_dir = ROOT / "docs" / "screenshots"
    out_dir.mkdir(parents=True, exist_ok=True)
    server, display = xvfb_server.start("1024x768x24")
    env = dict(os.environ, DISPLAY=display, SDL_VIDEODRIVER="x11")
    for key in ("SDL_RENDER_DRIVER", "SDL_RENDER_LINE_METHOD", "WAYLAND_DISPLAY"):
        env.pop(key, None)
    try:
        for name, console_input, settle in EXAMPLES:
            program = subprocess.Popen([binary, str(ROOT / "examples" / f"{name}.qn")], env=env,
                                       stdin=subprocess.PIPE, stdout=subprocess.DEVNULL)
            if console_input is not None:
                program.stdin.write(console_input)
                program.stdin.flush()
            if capture(env, out_dir / f"{name}.png") is None:
                program.kill()
                sys.exit(f"{name}: no window appeared")
            time.sleep(settle)
            wid = capture(env, out_dir / f"{name}.png")
            subprocess.run(["xdotool", "mousemove", "--window", wid, "5", "5"], env=env)
            subprocess.run(["xdotool", "key", "Escape"], env=env)
            program.stdin.close()
            try:
                program.wait(timeout=10)
            except subprocess.TimeoutExpired:
                program.kill()
                program.wait()
            print(f"{name}: {out_dir / (name + '.png')} (exit code {program.returncode})")
    finally:
        xvfb_server.stop(server)


if __name__ == "__main__":
    main()
