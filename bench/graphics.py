#!/usr/bin/env python3
"""Drawing throughput: frames per second of Quenra and pygame on the same loops.

    bench/graphics.py build/quenra                      # dummy driver, then Xvfb
    bench/graphics.py build/quenra --sizes 1000 --only fill_circles --no-xvfb

Every workload draws N shapes per frame on a 640 by 480 window for --frames frames
(default 60), rebuilding each shape every frame from precomputed arrays shifted by
the frame number, with one of four colours per shape. The Quenra script and the
pygame script (pygame.draw.circle / polygon / rect on the display surface) do the
same work: clear, N draw calls, present (flip), poll events.

There is no clock in Quenra, so each program is also run with 0 frames (start-up,
window, arrays) and that time is subtracted: fps = frames / (t(frames) - t(0)).
The time is the child's CPU time (user + system, from wait4) under the dummy driver,
where everything happens in the process, which keeps other load on the machine out
of the figure; under Xvfb part of the work is the X server's, so there it is wall
time. Each figure is the best of --runs runs (default 3) of each program, made in
interleaved rounds.

The first table uses SDL_VIDEODRIVER=dummy; the second opens a real window on a
private Xvfb server with the default renderer (skipped when Xvfb is missing or with
--no-xvfb). pygame comes from Debian's python3-pygame run by /usr/bin/python3; the
script installs nothing. Figures are read by people: no target fails the run.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

WIDTH, HEIGHT = 640, 480
PYTHON = "/usr/bin/python3"
WORKLOADS = ("fill_circles", "draw_circles", "fill_triangles", "draw_triangles", "fill_rects")
DESCRIPTIONS = {
    "fill_circles": "filled circles, radius 10-30",
    "draw_circles": "outlined circles, radius 10-30",
    "fill_triangles": "filled triangles, about 40 px across",
    "draw_triangles": "outlined triangles, about 40 px across",
    "fill_rects": "filled rectangles, 10-40 px a side",
}
COLOURS = ((255, 80, 80), (80, 255, 80), (80, 80, 255), (255, 255, 80))
TARGET_FPS_SHAPES = 10000


def shape_arrays(n):
    """Deterministic per-shape numbers shared by both programs: name -> list."""
    state = 12345

    def next_value(limit):
        nonlocal state
        state = (state * 1103515245 + 12345) % 2147483648
        return (state >> 8) % limit

    arrays = {"xs": [], "ys": [], "rs": [], "ds": [], "es": [], "ws": [], "hs": []}
    for _ in range(n):
        arrays["xs"].append(next_value(WIDTH))
        arrays["ys"].append(next_value(HEIGHT))
        arrays["rs"].append(10 + next_value(21))
        arrays["ds"].append(next_value(41))
        arrays["es"].append(next_value(41))
        arrays["ws"].append(10 + next_value(31))
        arrays["hs"].append(10 + next_value(31))
    return arrays


# The body of the per-shape loop; x and y are the shape's shifted position.
QUENRA_DRAW = {
    "fill_circles": "fill(circle(x, y, rs[i]), cols[i % 4])",
    "draw_circles": "draw(circle(x, y, rs[i]), cols[i % 4])",
    "fill_triangles": "fill(triangle(x, y, x + 40, y + ds[i], x + es[i], y + 40), cols[i % 4])",
    "draw_triangles": "draw(triangle(x, y, x + 40, y + ds[i], x + es[i], y + 40), cols[i % 4])",
    "fill_rects": "fill(rect(x, y, ws[i], hs[i]), cols[i % 4])",
}
PYGAME_DRAW = {
    "fill_circles": "circle(screen, cols[i % 4], (x, y), rs[i])",
    "draw_circles": "circle(screen, cols[i % 4], (x, y), rs[i], 1)",
    "fill_triangles": "polygon(screen, cols[i % 4], ((x, y), (x + 40, y + ds[i]), (x + es[i], y + 40)))",
    "draw_triangles": "polygon(screen, cols[i % 4], ((x, y), (x + 40, y + ds[i]), (x + es[i], y + 40)), 1)",
    "fill_rects": "rect(screen, cols[i % 4], (x, y, ws[i], hs[i]))",
}


def quenra_program(workload, n, frames, arrays):
    lets = "\n".join(f"    let {name} = [{', '.join(map(str, values))}]" for name, values in arrays.items())
    cols = ", ".join(f"color({r}, {g}, {b})" for r, g, b in COLOURS)
    return f"""def main() {{
{lets}
    window({WIDTH}, {HEIGHT})
    let cols = [{cols}]
    let frame = 0
    while frame < {frames} {{
        clear()
        let shift = frame * 3
        for i in 0..{n} {{
            let x = (xs[i] + shift) % {WIDTH}
            let y = ys[i]
            {QUENRA_DRAW[workload]}
        }}
        present()
        frame += 1
    }}
}}
"""


def pygame_program(workload, n, frames, arrays):
    lets = "\n".join(f"    {name} = {values!r}" for name, values in arrays.items())
    return f"""import os
os.environ["PYGAME_HIDE_SUPPORT_PROMPT"] = "1"
import pygame


def main():
{lets}
    pygame.display.init()
    screen = pygame.display.set_mode(({WIDTH}, {HEIGHT}))
    cols = {list(COLOURS)!r}
    circle, polygon, rect = pygame.draw.circle, pygame.draw.polygon, pygame.draw.rect
    for frame in range({frames}):
        screen.fill((0, 0, 0))
        shift = frame * 3
        for i in range({n}):
            x = (xs[i] + shift) % {WIDTH}
            y = ys[i]
            {PYGAME_DRAW[workload]}
        pygame.display.flip()
        pygame.event.pump()
    pygame.display.quit()


main()
"""


def run_once(command, env, use_cpu):
    """Seconds taken by one run (CPU or wall); raises on failure."""
    start = time.perf_counter()
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    error = process.stderr.read().decode(errors="replace")
    process.stderr.close()
    if process.returncode != 0 or error.strip():
        raise RuntimeError(f"{' '.join(command)} failed ({process.returncode}): {error.strip()}")
    return usage.ru_utime + usage.ru_stime if use_cpu else wall


def measure(workload, n, args, env, work, use_cpu):
    """(quenra fps, pygame fps) for one workload and N."""
    arrays = shape_arrays(n)
    commands = {}
    for frames in (0, args.frames):
        stem = os.path.join(work, f"{workload}_{n}_{frames}")
        with open(stem + ".qn", "w") as f:
            f.write(quenra_program(workload, n, frames, arrays))
        with open(stem + ".py", "w") as f:
            f.write(pygame_program(workload, n, frames, arrays))
        commands[("quenra", frames)] = [args.quenra, stem + ".qn"]
        commands[("pygame", frames)] = [PYTHON, stem + ".py"]
    best = {}
    for _ in range(args.runs):
        for key, command in commands.items():
            seconds = run_once(command, env, use_cpu)
            best[key] = min(best.get(key, seconds), seconds)
    result = []
    for who in ("quenra", "pygame"):
        drawing = best[(who, args.frames)] - best[(who, 0)]
        result.append(args.frames / drawing if drawing > 0 else float("inf"))
    return tuple(result)


def run_table(title, args, env, work, use_cpu):
    """Measures every workload at every N, printing each row as it comes."""
    print(f"\n### {title}\n")
    print("| workload | N | quenra fps | pygame fps | quenra/pygame |")
    print("|---|---:|---:|---:|---:|")
    rows = []
    for workload in args.only:
        for n in args.sizes:
            print(f"  {title}: {workload} N={n}", file=sys.stderr)
            quenra, pygame = measure(workload, n, args, env, work, use_cpu)
            rows.append((workload, n, quenra, pygame))
            print(f"| {DESCRIPTIONS[workload]} | {n} | {quenra:.0f} | {pygame:.0f} | {quenra / pygame:.2f} |")
            sys.stdout.flush()
    return rows


def start_xvfb():
    """A private Xvfb server: (process, display) or None."""
    if shutil.which("Xvfb") is None:
        return None
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten",
                               "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        server.kill()
        server.wait()
        return None
    return server, ":" + number


def base_env():
    env = dict(os.environ)
    for key in ("SDL_RENDER_DRIVER", "SDL_RENDER_LINE_METHOD", "SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"):
        env.pop(key, None)
    return env


def print_targets(rows):
    print("\n### Targets (dummy driver)\n")
    missed = [(w, n, q, p) for w, n, q, p in rows if n in (1000, 2000) and q < p]
    if not any(n in (1000, 2000) for _, n, _, _ in rows):
        print("- quenra >= pygame at N = 1000 and 2000: not measured in this run")
    elif missed:
        for w, n, q, p in missed:
            print(f"- quenra >= pygame: MISSED on {DESCRIPTIONS[w]} at N={n} ({q / p:.2f}x)")
    else:
        print("- quenra >= pygame on every measured workload at N = 1000 and 2000: met")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("quenra", help="path of the quenra binary")
    parser.add_argument("--frames", type=int, default=60)
    parser.add_argument("--runs", type=int, default=3, help="runs of each program; the best counts")
    parser.add_argument("--sizes", default="250,1000,2000,4000", help="comma-separated shape counts")
    parser.add_argument("--only", default=",".join(WORKLOADS), help="comma-separated workloads")
    parser.add_argument("--no-xvfb", action="store_true", help="skip the table with a real window")
    parser.add_argument("--no-dummy", action="store_true", help="skip the table with the dummy driver")
    parser.add_argument("--no-target", action="store_true", help=f"skip the {TARGET_FPS_SHAPES} circles row")
    args = parser.parse_args()
    args.sizes = [int(s) for s in args.sizes.split(",") if s]
    args.only = [w for w in args.only.split(",") if w]
    for w in args.only:
        if w not in WORKLOADS:
            parser.error(f"unknown workload {w}; known: {', '.join(WORKLOADS)}")
    if not os.access(args.quenra, os.X_OK):
        parser.error(f"{args.quenra} is not an executable")
    check = subprocess.run([PYTHON, "-c", "import pygame"], capture_output=True,
                           env=dict(os.environ, PYGAME_HIDE_SUPPORT_PROMPT="1"))
    if check.returncode != 0:
        print(f"pygame is missing for {PYTHON}; install it with: apt-get install python3-pygame", file=sys.stderr)
        return 2

    load = os.getloadavg()[0]
    print("## Drawing: quenra against pygame\n")
    print(f"- {time.strftime('%Y-%m-%d %H:%M', time.gmtime())} UTC, load average at the start {load:.2f}")
    print(f"- {args.frames} frames of {WIDTH}x{HEIGHT}, best of {args.runs} runs, start-up subtracted")
    print(f"- command: `bench/graphics.py {' '.join(sys.argv[1:])}`")

    with tempfile.TemporaryDirectory(prefix="quenra-gfx-") as work:
        dummy = dict(base_env(), SDL_VIDEODRIVER="dummy")
        if not args.no_dummy:
            rows = run_table("SDL_VIDEODRIVER=dummy (CPU time)", args, dummy, work, True)
            if not args.no_target and "fill_circles" in args.only:
                print(f"  target: fill_circles N={TARGET_FPS_SHAPES}", file=sys.stderr)
                quenra, pygame = measure("fill_circles", TARGET_FPS_SHAPES, args, dummy, work, True)
                print(f"\n{TARGET_FPS_SHAPES} filled circles, radius 10-30: quenra {quenra:.1f} fps, "
                      f"pygame {pygame:.1f} fps (target: quenra >= 60 fps: {'met' if quenra >= 60 else 'MISSED'})")
            print_targets(rows)
        if not args.no_xvfb:
            started = start_xvfb()
            if started is None:
                print("\n(Xvfb is missing or did not start: no table with a real window; "
                      "apt-get install xvfb)")
            else:
                server, display = started
                try:
                    run_table("Xvfb, real window, default renderer (wall time)", args,
                              dict(base_env(), DISPLAY=display), work, False)
                finally:
                    server.terminate()
                    server.wait()
    print(f"\nLoad average at the end: {os.getloadavg()[0]:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
