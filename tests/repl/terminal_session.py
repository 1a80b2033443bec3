#!/usr/bin/env python3
"""Drives the interactive loop on a real terminal, the way a user types at it.

The binary runs in a detached tmux session on a private server (its own -L socket),
with standard error sent to a file so that messages can be told apart from the
screen. Keys go in with send-keys; after each step the screen is polled until the
expected text shows up or a deadline passes, so the test does not depend on timing.

Usage: terminal_session.py --bin PATH [--tmux PATH]
Exits 0 when every step passed, 1 on a failure, 77 when tmux is not installed.
"""
import argparse
import os
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
import uuid

SKIP = 77
DEADLINE = 20.0  # seconds for one expectation; generous for loaded CI machines
WELCOME = ["Welcome to Quenra Interactive REPL!", "Type 'exit' to quit.", ""]


class Failure(Exception):
    pass


class Terminal:
    def __init__(self, tmux, binary, scratch):
        self.tmux = tmux
        self.binary = binary
        self.socket_path = ""
        self.socket = f"quenra-test-{os.getpid()}-{uuid.uuid4().hex[:8]}"
        self.err_path = os.path.join(scratch, "stderr.txt")
        self.status_path = os.path.join(scratch, "status.txt")
        env = {k: v for k, v in os.environ.items() if k not in ("TMUX", "TMUX_PANE")}
        # The tmux client itself must speak UTF-8 for the captured screen to hold it.
        env["LC_ALL"] = "C.UTF-8"
        env["SHELL"] = "/bin/sh"  # the shell tmux runs the command with
        self.env = env

    def start(self, arguments=()):
        # The loop runs with no locale variables at all, as on a bare machine: it must
        # still take non-ASCII input intact. The shell around it writes the exit
        # status to a file (tmux does not always report it); its trap only keeps it
        # alive through Ctrl-C, which reaches its whole process group, and is reset
        # to the default action in the program it starts.
        program = "env -u LC_ALL -u LC_CTYPE -u LANG TERM=xterm {} 2>{}".format(
            shlex.join([self.binary, *arguments]), shlex.quote(self.err_path))
        status = shlex.quote(self.status_path)
        command = f"trap : INT; {program}; echo $? >{status}.new && mv {status}.new {status}"
        self.run("new-session", "-d", "-s", "q", "-x", "100", "-y", "50", command,
                 ";", "set-option", "-t", "q", "remain-on-exit", "on")
        self.socket_path = self.run("display-message", "-p", "#{socket_path}").strip()

    def run(self, *args):
        result = subprocess.run([self.tmux, "-u", "-f", "/dev/null", "-L", self.socket, *args],
                                capture_output=True, text=True, env=self.env, timeout=30)
        if result.returncode != 0:
            raise Failure(f"tmux {' '.join(args)} failed: {result.stderr.strip()}")
        return result.stdout

    def close(self):
        subprocess.run([self.tmux, "-f", "/dev/null", "-L", self.socket, "kill-server"],
                       capture_output=True, env=self.env, timeout=30)
        # The server leaves its socket file behind.
        if self.socket_path:
            try:
                os.unlink(self.socket_path)
            except FileNotFoundError:
                pass

    def screen(self):
        """The screen and its scrollback, wrapped lines joined, trailing blanks cut."""
        lines = [line.rstrip() for line in self.run("capture-pane", "-p", "-J", "-S", "-",
                                                    "-t", "q").split("\n")]
        while lines and lines[-1] == "":
            lines.pop()
        # The dead-pane notice is tmux's, not the program's.
        if lines and lines[-1].startswith("Pane is dead"):
            lines.pop()
            while lines and lines[-1] == "":
                lines.pop()
        return lines

    def type(self, text):
        self.run("send-keys", "-t", "q", "-l", text)

    def key(self, *names):
        self.run("send-keys", "-t", "q", *names)

    def stderr(self):
        with open(self.err_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    def exit_status(self):
        """The program's exit status once it has ended (128 + N after signal N), else None."""
        try:
            with open(self.status_path) as f:
                return int(f.read())
        except FileNotFoundError:
            return None

    def wait(self, what, test):
        end = time.monotonic() + DEADLINE
        while True:
            lines = self.screen()
            if test(lines):
                return lines
            if time.monotonic() > end:
                shown = "\n".join(lines[-15:])
                raise Failure(f"waited in vain for {what}; the screen ends with:\n{shown}")
            time.sleep(0.05)

    def wait_tail(self, what, *tail):
        """Waits until the last lines of the screen are exactly `tail`."""
        return self.wait(what, lambda lines: lines[-len(tail):] == list(tail))


def session(term):
    """One long session: every step builds on the interpreter state before it."""
    term.wait_tail("the welcome and the first prompt", *WELCOME, ">>>")

    # A definition over three lines, shown with the continuation prompt, then called.
    term.type("def twice(x) {")
    term.wait_tail("the first line echoed", ">>> def twice(x) {")
    term.key("Enter")
    term.wait_tail("the continuation prompt", ">>> def twice(x) {", "...")
    term.type("return x * 2")
    term.key("Enter")
    term.type("}")
    term.key("Enter")
    term.wait_tail("the block closed", "... return x * 2", "... }", ">>>")
    term.type("print(twice(21))")
    term.key("Enter")
    term.wait_tail("the call's result", ">>> print(twice(21))", "42", ">>>")

    # Up recalls the line; arrow keys and backspace edit it in the middle.
    term.key("Up")
    term.wait_tail("the recalled line", "42", ">>> print(twice(21))")
    term.key("Left", "Left", "BSpace")
    term.type("5")
    term.wait_tail("the edited line", ">>> print(twice(25))")
    term.key("Enter")
    term.wait_tail("the edited call's result", ">>> print(twice(25))", "50", ">>>")

    # Emacs keys: Ctrl-A to the start of the line, Ctrl-E back to its end.
    term.type('rint("emacs"')
    term.key("C-a")
    term.type("p")
    term.key("C-e")
    term.type(")")
    term.wait_tail("the line edited at both ends", '>>> print("emacs")')
    term.key("Enter")
    term.wait_tail("the Emacs-edited line run", "emacs", ">>>")

    # Non-ASCII text arrives intact, and backspace removes a whole character.
    term.type('print("h\u00e9llo \u2713 \u00e9')
    term.key("BSpace")
    term.type('x")')
    term.key("Enter")
    term.wait_tail("the non-ASCII line run", "h\u00e9llo \u2713 x", ">>>")

    # Ctrl-C drops a half-typed line and shows a fresh prompt.
    term.type('print("half')
    term.wait_tail("the half-typed line", '>>> print("half')
    term.key("C-c")
    term.wait_tail("a fresh prompt after Ctrl-C", '>>> print("half', ">>>")

    # The same with the cursor at the start of a line that wraps: the fresh prompt
    # goes below the whole line, which stays as it was.
    long_line = 'print("' + "w" * 140 + '")'
    term.type(long_line)
    term.wait_tail("the long line", ">>> " + long_line)
    term.key("C-a")
    term.key("C-c")
    term.wait_tail("a fresh prompt below the long line", ">>> " + long_line, ">>>")

    # Ctrl-C also drops the kept lines of an unfinished block and resets the counts.
    term.type("if true {")
    term.key("Enter")
    term.type('print("dropped")')
    term.key("Enter")
    term.wait_tail("the kept lines", '... print("dropped")', "...")
    term.key("C-c")
    term.wait_tail("a fresh prompt after the kept lines", '... print("dropped")', "...", ">>>")
    term.type('print("fresh")')
    term.key("Enter")
    term.wait_tail("a line after the dropped block", ">>> print(\"fresh\")", "fresh", ">>>")

    # Ctrl-C stops an endless loop; the message goes to stderr and the variables the
    # loop changed keep their values.
    term.type("let n = 0")
    term.key("Enter")
    term.type('print("looping") while true { n = n + 1 }')
    term.key("Enter")
    term.wait_tail("the loop running", "looping")
    term.key("C-c")
    term.wait("the prompt after the interrupt",
              lambda lines: lines[-1] in (">>>", "^C>>>") and "looping" in lines[-3:])
    if term.stderr() != "Error: interrupted\n":
        raise Failure(f"stderr after the interrupt: {term.stderr()!r}")
    term.type("print(n > 0, twice(5))")
    term.key("Enter")
    term.wait_tail("the state after the interrupt", "true", "10", ">>>")

    # input() reads from the same terminal while a typed line runs.
    term.type('let who = input("who? ")')
    term.key("Enter")
    term.wait_tail("the input prompt", "who?")
    term.type("Zo\u00eb")
    term.key("Enter")
    term.type("print(concat(who, \"!\"))")
    term.key("Enter")
    term.wait_tail("the line read by input", "Zo\u00eb!", ">>>")

    # Ctrl-C while input() waits stops that line like any other.
    term.type('let unused = input("wait: ")')
    term.key("Enter")
    term.wait_tail("the second input prompt", "wait:")
    term.key("C-c")
    term.wait("the prompt after interrupting input",
              lambda lines: lines[-1] in ("wait: ^C>>>", "wait: >>>"))
    if term.stderr() != "Error: interrupted\n" * 2:
        raise Failure(f"stderr after interrupting input: {term.stderr()!r}")

    term.type("exit")
    term.key("Enter")
    term.wait("the program's end", lambda lines: term.exit_status() is not None)
    lines = term.screen()
    if not lines[-2].endswith(">>> exit") or lines[-1] != "Goodbye!" or term.exit_status() != 0:
        raise Failure(f"ending with exit: status {term.exit_status()}, screen ends {lines[-2:]}")
    if term.stderr() != "Error: interrupted\n" * 2:
        raise Failure(f"stderr at the end: {term.stderr()!r}")


def end_of_input(term):
    """Ctrl-D on an empty line ends the loop without a farewell; on text it does not."""
    term.wait_tail("the first prompt", ">>>")
    term.type("print(1)")
    term.key("C-a", "C-d")
    term.wait_tail("Ctrl-D deleting a character", ">>> rint(1)")
    term.key("C-k")
    term.wait_tail("the line emptied", ">>>")
    term.key("C-d")
    term.wait("the program's end", lambda lines: term.exit_status() is not None)
    lines = term.screen()
    if any("Goodbye!" in line for line in lines) or term.exit_status() != 0:
        raise Failure(f"ending with Ctrl-D: status {term.exit_status()}, screen {lines[-3:]}")
    if term.stderr() != "":
        raise Failure(f"stderr at the end: {term.stderr()!r}")


def file_mode_interrupt(term):
    """Running a file, Ctrl-C ends the program as usual: no handler is installed."""
    term.wait_tail("the script running", "spinning")
    term.key("C-c")
    term.wait("the program's end", lambda lines: term.exit_status() is not None)
    if term.exit_status() != 128 + 2:
        raise Failure(f"after Ctrl-C in file mode: status {term.exit_status()}, not SIGINT's")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--bin", required=True)
    parser.add_argument("--tmux", default=shutil.which("tmux"))
    options = parser.parse_args()
    if not options.tmux:
        print("tmux is not installed; skipped")
        return SKIP
    binary = os.path.abspath(options.bin)
    failed = 0
    for step in (session, end_of_input, file_mode_interrupt):
        with tempfile.TemporaryDirectory() as scratch:
            arguments = ()
            if step is file_mode_interrupt:
                script = os.path.join(scratch, "spin.qn")
                with open(script, "w") as f:
                    f.write('print("spinning")\nwhile true { }\n')
                arguments = (script,)
            term = Terminal(options.tmux, binary, scratch)
            try:
                term.start(arguments)
                step(term)
                print(f"ok   {step.__name__}")
            except Failure as failure:
                failed += 1
                print(f"FAIL {step.__name__}: {failure}")
            finally:
                term.close()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
