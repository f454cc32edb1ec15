#!/usr/bin/env python3
"""Live sessions with the engine over a pipe, as a GUI runs them: analysis,
stat01, the clock, pings during a move, the end of input, an interrupt; UCI
during a search; long counts that stop; the command line; learning when the
GUI ends the engine, and a read-only program directory.

Usage: session_test.py [--no-timing] ENGINE [ARG ...]
ENGINE with its arguments is the command, e.g. `wine build-win64/vostrel.exe`.
--no-timing keeps the sessions but not the time limits, for sanitizer builds
whose every move is many times slower.
"""

import os
import queue
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

TIMING = "--no-timing" not in sys.argv
COMMAND = [a for a in sys.argv[1:] if a != "--no-timing"]


def within(seconds, limit, what):
    assert seconds < limit or not TIMING, f"{what} took {seconds:.2f} s"


class Engine:
    def __init__(self, command, xboard=True):
        self.process = subprocess.Popen(
            command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=subprocess.PIPE, text=True, bufsize=1)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        if xboard:
            self.send("xboard", "protover 2")
            self.expect("feature done=1")

    def _read(self):
        for line in self.process.stdout:
            self.lines.put((time.monotonic(), line.rstrip("\n")))
        self.lines.put((time.monotonic(), None))

    def send(self, *lines):
        self.process.stdin.write("".join(line + "\n" for line in lines))
        self.process.stdin.flush()

    def expect(self, wanted, timeout=10, what=None):
        """The first line that starts with wanted (or satisfies it), with its arrival time."""
        test = wanted if callable(wanted) else lambda l: l.startswith(wanted)
        what = what or wanted
        deadline = time.monotonic() + timeout
        while True:
            try:
                stamp, line = self.lines.get(timeout=max(0.0, deadline - time.monotonic()))
            except queue.Empty:
                raise AssertionError(f"timed out waiting for {what}")
            if line is None:
                raise AssertionError(f"engine ended while waiting for {what}")
            if test(line):
                return stamp, line

    def timed(self, command, wanted, timeout=10):
        sent = time.monotonic()
        self.send(command)
        stamp, line = self.expect(wanted, timeout, f"{wanted} after {command}")
        return stamp - sent, line

    def drain(self, quiet_for):
        seen = []
        while True:
            try:
                seen.append(self.lines.get(timeout=quiet_for)[1])
            except queue.Empty:
                return seen

    def quit(self):
        self.send("quit")
        self.exits_cleanly(10)

    def exits_cleanly(self, timeout):
        """Seconds until the engine ended, with status 0 and nothing on standard error."""
        start = time.monotonic()
        status = self.process.wait(timeout=timeout)
        took, errors = time.monotonic() - start, self.process.stderr.read()
        assert status == 0 and not errors, f"exit status {status}, standard error {errors!r}"
        return took


def thinking(line):
    """A thinking line: depth, score, time, nodes and the variation."""
    fields = line.split(None, 4)
    return len(fields) == 5 and all(f.lstrip("-").isdigit() for f in fields[:4])


def variation(line):
    """The variation of a thinking line, without the mate mark before it."""
    text = line.split(None, 4)[4]
    return text.split("] ", 1)[1] if text.startswith("[") and "] " in text else text


def analysing(prefix):
    return lambda l: thinking(l) and variation(l).startswith(prefix)


def analysis(path):
    """Commands that reach a running analysis restart it on their position.
    The transcript analysis has the whole exchange (stat01, take-backs, new,
    exit), as commands that are already waiting when a search starts."""
    engine = Engine(path)
    engine.send("new", "force", "post", "analyze")
    engine.expect(analysing("1."), what="analysis of the start position")
    time.sleep(0.3)
    engine.send("usermove e2e4")
    engine.expect(analysing("1..."), what="analysis after 1.e4")
    time.sleep(0.3)
    # Every line after the pong is about the position the GUI has just sent.
    engine.send("force", "setboard 4k3/8/8/8/8/8/4P3/4K3 b - - 0 40", "ping 3")
    engine.expect("pong 3")
    engine.expect(thinking, what="analysis after setboard")
    late = engine.drain(0.5)
    assert all(variation(l).startswith("40...K") for l in late if thinking(l)), late[:3]
    assert not any(l.startswith("move ") for l in late), f"a move in analyze mode: {late}"
    engine.quit()


def fixed_time(path):
    """Under "st 1" every move comes within the second, plus the time to
    unwind and a margin for a loaded machine."""
    engine = Engine(path)
    engine.send("new", "st 1", "force")
    worst = 0.0
    for _ in range(4):
        worst = max(worst, engine.timed("go", "move ")[0])  # the engine plays the side to move
        engine.send("force")
    within(worst, 1.6, "a move under st 1")
    engine.quit()
    return f"ok, slowest move under st 1 {worst:.2f} s"


def clock(path):
    """Forty moves in 30 seconds: the engine spends well under its clock."""
    engine = Engine(path)
    engine.send("new", "level 40 0:30 0", "force", "usermove e2e4")
    remaining, used = 3000, 0.0  # centiseconds, seconds
    for _ in range(6):
        engine.send(f"time {remaining}", f"otim {remaining}")
        spent, _ = engine.timed("go", "move ", 30)
        used += spent
        remaining -= int(spent * 100)
        assert remaining > 0 or not TIMING, "the engine ran past its clock"
        # Budget: about clock / moves to go, never a large part of the clock.
        within(spent, 3.0, "one move of a 30 s clock")
        engine.send("force")
    # A depth limit beside the clock: three seconds left bound the move, not the depth.
    engine.send("level 40 5 0", "sd 20", "time 300", "otim 300")
    within(engine.timed("go", "move ", 30)[0], 1.5, "sd 20 with 3 s left")
    engine.quit()
    return f"ok, six moves of level 40 0:30 in {used:.2f} s"


def end_of_input(path):
    """A script's input ends during the engine's move: the move still comes,
    then it exits. The GUI gone during analysis or pondering ends it at once."""
    engine = Engine(path, xboard=False)
    engine.send("new", "st 1", "go")
    engine.process.stdin.close()
    engine.expect("move ", what="the move after the end of input")
    engine.exits_cleanly(10)
    gone = []
    for start in (["force", "analyze"], ["hard", "st 1", "usermove e2e4"]):
        engine = Engine(path)
        engine.send("new", *start)
        if start[0] == "hard":
            engine.expect("move ", what="the move before pondering")
        time.sleep(0.3)
        engine.send(".")
        engine.expect("stat01: ", what="a search under way")
        engine.process.stdin.close()
        gone.append(engine.exits_cleanly(10))
        within(gone[-1], 1.0, f"{start[-1]}: the end without input")
    return f"ok, analysis and pondering ended within {max(gone):.2f} s"


def interrupt(path):
    """xboard interrupts its engine before each move unless told otherwise."""
    engine = Engine(path)
    engine.process.send_signal(signal.SIGINT)
    time.sleep(0.5)
    engine.send("ping 9")
    engine.expect("pong 9")
    engine.quit()


def uci(path):
    """UCI: isready answered during a search, stop and ponderhit, the clock."""
    engine = Engine(path, xboard=False)
    engine.send("uci")
    engine.expect("uciok")
    engine.send("position startpos moves e2e4", "go infinite")
    engine.expect("info depth", what="info lines of the analysis")
    within(engine.timed("isready", "readyok")[0], 0.5, "readyok during the search")
    time.sleep(0.3)
    engine.send("stop")
    engine.expect("bestmove ", what="bestmove after stop")
    # A ponder search keeps its move until ponderhit, then plays within its clock.
    engine.send("position startpos moves e2e4 e7e5 g1f3",
                "go ponder wtime 20000 btime 20000 winc 0 binc 0 movestogo 20")
    engine.expect("info depth", what="the ponder search")
    time.sleep(0.5)
    within(engine.timed("ponderhit", "bestmove ")[0], 2.0, "bestmove after ponderhit")
    engine.send("go ponder wtime 20000 btime 20000")
    time.sleep(0.3)
    engine.send("stop")
    engine.expect("bestmove ", what="bestmove after stop in ponder")
    # A go always ends by itself: an overstepped flag, no own clock, no time, no depth.
    engine.send("position startpos moves e2e4 e7e5 g1f3 b8c6")
    for go in ("go wtime -50 btime 5000 winc 1000 binc 1000", "go btime 5000", "go movetime 0",
               "go depth 0"):
        within(engine.timed(go, "bestmove ")[0], 1.0, go)
    # Two moves to the control: half the clock, not the few hundredths of a long game.
    engine.send("position fen r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R w KQ - 0 1")
    spent = engine.timed("go wtime 2000 btime 2000 movestogo 2", "bestmove ")[0]
    assert spent > 0.5 or not TIMING, f"movestogo 2 with 2 s left: {spent:.2f} s"
    slowest = max(engine.timed("go movetime 1000", "bestmove ")[0] for _ in range(3))
    within(slowest, 1.1, "go movetime 1000")
    engine.quit()
    return f"ok, go movetime 1000 answered within {slowest:.2f} s"


def long_counts(path):
    """perft and divide stop for "?", "new" and "quit", and say that their
    count is incomplete."""
    engine = Engine(path)  # up and running: a stop sent before the count would wait for it
    engine.send("new")
    for command, stop in (("perft 12", "?"), ("divide 12", "new")):
        engine.send(command)
        time.sleep(0.3)
        took, line = engine.timed(stop, "perft 12 ")
        assert line.endswith("(stopped: the count is incomplete)"), line
        within(took, 1.0, f"{command} to stop")
    engine.send("perft 12")
    time.sleep(0.3)
    engine.send("quit")
    engine.expect("perft 12 ", what="perft stopped by quit")
    engine.exits_cleanly(10)


def book_files(path):
    """The last game reaches the book even when the GUI ends the engine right
    after "quit"; in a directory it cannot write, the engine says so once and
    plays without learning. The engine runs from a copy in a scratch directory,
    where its book files go."""
    if len(path) != 1:
        return "not run (the engine runs through another program)"
    game = ["new", "force", "usermove e2e4", "usermove e7e5", "result 1-0 {White wins}", "quit"]
    with tempfile.TemporaryDirectory() as directory:
        program = shutil.copy(path[0], directory)
        engine = Engine([program])
        engine.send(*game)
        engine.process.send_signal(signal.SIGTERM)
        engine.process.wait(timeout=10)
        book = os.path.join(directory, "vostrel.bk")
        assert os.path.exists(book) and os.path.getsize(book) >= 32, "the game was not learned"
        # Read-only: for root only as another user, if the system offers one.
        os.remove(book)
        os.chmod(directory, 0o555)
        command = [program]
        if os.geteuid() == 0:
            if not shutil.which("setpriv"):
                return "learning after termination ok; read-only not run (no setpriv)"
            command = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", program]
        engine = Engine(command)
        engine.expect(lambda l: l.startswith("telluser ") and "without learning" in l, 10,
                      "the read-only notice")
        engine.send(*game)
        engine.exits_cleanly(10)
        assert not os.path.exists(book), "a book file in a read-only directory"
        os.chmod(directory, 0o755)
    return "ok"


def command_line(path):
    """The arguments: help, version, the bench, and anything else refused."""
    def run(*arguments):
        done = subprocess.run(path + list(arguments), capture_output=True, text=True,
                              timeout=120)
        return done.returncode, done.stdout.replace("\r", ""), done.stderr
    for arguments, wanted in ((["--help"], "usage: vostrel"), (["--version"], "Vostrel "),
                              (["bench", "1"], "Position  1/33: ")):
        status, out, _ = run(*arguments)
        assert status == 0 and out.startswith(wanted), (arguments, out)
    assert "\nNodes searched: " in out and "\nNodes/second: " in out, out
    for wrong in (["--frobnicate"], ["bench", "x"], ["bench", "1", "2"]):
        status, _, errors = run(*wrong)
        assert status == 2 and errors.startswith("vostrel: "), (wrong, status, errors)


def main():
    for check in (interrupt, analysis, fixed_time, clock, end_of_input, uci, command_line,
                  long_counts, book_files):
        print(f"{check.__name__}: {check(COMMAND) or 'ok'}")


if __name__ == "__main__":
    main()
