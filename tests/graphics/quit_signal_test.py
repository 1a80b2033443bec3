#!/usr/bin/env python3
"""Ctrl-C (SIGINT) and SIGTERM sent to a script that has a window, on SDL's headless
dummy driver.

The first request is a quit event: a loop on is_open() ends and the script goes on.
A script that never looks at its window must still be stoppable: a second request
ends the process as a single one does without a window. A window that fails to open
leaves the signals as they were, so one request ends the process.

Linux only: the test waits for the handler through /proc (skipped with exit code
77 where /proc shows no signal masks).

Usage: quit_signal_test.py --bin PATH
"""
import argparse
import os
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
BIN = None
SCRATCH = None  # a folder removed when the run ends, for the scripts the checks write
failures = 0

LOOP = 'window(100, 100)\nwhile is_open() { present() }\nprint("closed")\n'
BUSY = 'window(100, 100)\nlet i = 0\nwhile true { i += 1 }\n'


def check(name, condition, detail=""):
    global failures
    print(("PASS " if condition else "FAIL ") + name + ("" if condition else "  " + detail))
    if not condition:
        failures += 1


def start(text, driver="dummy"):
    handle = tempfile.NamedTemporaryFile("w", suffix=".qn", dir=SCRATCH, delete=False)
    handle.write(text)
    handle.close()
    env = dict(os.environ, SDL_VIDEODRIVER=driver)
    # The child starts with default dispositions, as from an interactive shell
    # (a background job of a script would ignore SIGINT).
    return subprocess.Popen([BIN, handle.name], env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE,
                            preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))


def catches(pid, signal_number):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("SigCgt:"):
                    return (int(line.split()[1], 16) >> (signal_number - 1)) & 1 == 1
    except OSError:
        pass
    return False


def wait_until_caught(proc, signal_number):
    """Polls until the window's handler is in place (a guard against a hang, not a
    measurement)."""
    for _ in range(400):
        if catches(proc.pid, signal_number):
            return True
        if proc.poll() is not None:
            return False
        time.sleep(0.05)
    return False


def finish(proc):
    try:
        out, err = proc.communicate(timeout=30)
        return proc.returncode, out.decode(errors="replace"), err.decode(errors="replace")
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.communicate()
        return None, "", "still running after 30 s"


def still_running_after(proc, seconds):
    try:
        proc.wait(timeout=seconds)
        return False
    except subprocess.TimeoutExpired:
        return True


def start_with_window(text, signal_number, name):
    """The script's process once its window handles the signal, or None."""
    proc = start(text)
    if wait_until_caught(proc, signal_number):
        return proc
    check(f"{name}: handler installed with the window", False, str(finish(proc)))
    return None


def quit_event_ends_the_loop(signal_number, name):
    proc = start_with_window(LOOP, signal_number, name)
    if proc is None:
        return
    proc.send_signal(signal_number)
    code, out, err = finish(proc)
    check(f"{name}: one request closes the window and the script goes on",
          code == 0 and out == "closed\n" and err == "", f"code {code}, out {out!r}, err {err!r}")


def second_request_ends_a_busy_script(signal_number, name):
    proc = start_with_window(BUSY, signal_number, name)
    if proc is None:
        return
    proc.send_signal(signal_number)
    # The first request waits for present(), which this script never calls.
    check(f"{name}: the first request does not end a busy script", still_running_after(proc, 0.5))
    proc.send_signal(signal_number)
    code, _, err = finish(proc)
    check(f"{name}: the second request ends the process", code == -signal_number,
          f"code {code}, err {err!r}")


def failed_window_leaves_signals_alone():
    proc = start(BUSY, driver="no-such-driver")
    # The failure message comes before the loop starts.
    message = proc.stderr.readline().decode(errors="replace")
    check("a failed window reports why", message.startswith("Failed to "), repr(message))
    # The handler goes right after the message; wait for that (a hang guard).
    for _ in range(400):
        if not catches(proc.pid, signal.SIGINT) or proc.poll() is not None:
            break
        time.sleep(0.05)
    check("a failed window leaves SIGINT to its default", not catches(proc.pid, signal.SIGINT))
    proc.send_signal(signal.SIGINT)
    code, _, _ = finish(proc)
    check("one Ctrl-C ends the script whose window failed", code == -signal.SIGINT,
          f"code {code}")


def main():
    global BIN, SCRATCH
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    BIN = os.path.abspath(parser.parse_args().bin)
    if not os.path.exists(f"/proc/{os.getpid()}/status") or not catches(os.getpid(), signal.SIGINT):
        print("SKIP: /proc shows no signal masks here")
        return SKIP
    with tempfile.TemporaryDirectory(prefix="quenra-signals-") as SCRATCH:
        for number, name in ((signal.SIGINT, "SIGINT"), (signal.SIGTERM, "SIGTERM")):
            quit_event_ends_the_loop(number, name)
            second_request_ends_a_busy_script(number, name)
        failed_window_leaves_signals_alone()
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
