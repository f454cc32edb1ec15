#!/usr/bin/env python3
"""Live sessions with the engine over a pipe, as a GUI runs them: analysis
that follows moves, take-backs and new positions, stat01 during a search, the
clock under "st", under "level" with "time"/"otim" and beside "sd", a ping
during the engine's move, the end of input; UCI with
isready during a search, stop, ponderhit and move time; the command line;
learning when the GUI ends the engine, and a read-only program directory.

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


class Engine:
    def __init__(self, command):
        self.process = subprocess.Popen(
            command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=subprocess.PIPE, text=True, bufsize=1)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            self.lines.put((time.monotonic(), line.rstrip("\n")))
        self.lines.put((time.monotonic(), None))

    def send(self, text):
        self.process.stdin.write(text + "\n")
        self.process.stdin.flush()

    def expect(self, predicate, timeout, what):
        """The first line that satisfies predicate, with its arrival time."""
        deadline = time.monotonic() + timeout
        while True:
            try:
                stamp, line = self.lines.get(timeout=max(0.0, deadline - time.monotonic()))
            except queue.Empty:
                raise AssertionError(f"timed out waiting for {what}")
            if line is None:
                raise AssertionError(f"engine ended while waiting for {what}")
            if predicate(line):
                return stamp, line

    def drain(self, quiet_for):
        """Lines until none arrived for quiet_for seconds."""
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
        took = time.monotonic() - start
        errors = self.process.stderr.read()
        assert status == 0, f"exit status {status}"
        assert errors == "", f"standard error: {errors!r}"
        return took


def thinking(line):
    """A thinking line: depth, score, time, nodes and the variation."""
    fields = line.split(None, 4)
    return len(fields) == 5 and all(f.lstrip("-").isdigit() for f in fields[:4])


def variation(line):
    """The variation of a thinking line, without the mate mark before it."""
    text = line.split(None, 4)[4]
    return text.split("] ", 1)[1] if text.startswith("[") and "] " in text else text


def handshake(engine):
    engine.send("xboard")
    engine.send("protover 2")
    engine.expect(lambda l: l == "feature done=1", 10, "the feature lines")


def analysis(path):
    engine = Engine(path)
    handshake(engine)
    engine.send("new")
    engine.send("force")
    engine.send("post")
    engine.send("analyze")
    engine.expect(lambda l: thinking(l) and l.split(None, 4)[4].startswith("1."), 10,
                  "analysis of the start position")
    # A move restarts the analysis on the new position, Black to move.
    engine.send("usermove e2e4")
    engine.expect(lambda l: thinking(l) and l.split(None, 4)[4].startswith("1..."), 10,
                  "analysis after 1.e4")
    engine.send(".")
    _, status = engine.expect(lambda l: l.startswith("stat01: "), 10, "stat01 during the analysis")
    # time nodes depth moves-left moves-total [move], no blank after the move
    fields = status.split()[1:]
    assert len(fields) in (5, 6) and all(f.isdigit() for f in fields[:5]), status
    assert 0 <= int(fields[3]) <= int(fields[4]) == 20 and status == status.rstrip(), status
    engine.drain(0.3)
    # A take-back restarts it on the start position.
    engine.send("undo")
    engine.expect(lambda l: thinking(l) and not l.split(None, 4)[4].startswith("1..."), 10,
                  "analysis after the take-back")
    # Every line after the pong is about the position the GUI has just sent.
    def about(prefix, commands, number):
        for command in commands:
            engine.send(command)
        engine.send(f"ping {number}")
        engine.expect(lambda l: l == f"pong {number}", 10, f"pong {number}")
        engine.expect(lambda l: thinking(l), 10, f"analysis after {commands}")
        late = [l for l in engine.drain(0.5) if thinking(l)]
        wrong = [l for l in late if not variation(l).startswith(prefix)]
        assert not wrong, f"after {commands}: {wrong[:3]}"
        assert not any(l.startswith("move ") for l in late), f"a move in analyze mode: {late}"

    # PyChess starts with analyze, force, setboard; its restart is exit, force, setboard,
    # post, analyze. The move numbers are the FEN's.
    about("40...K", ["force", "setboard 4k3/8/8/8/8/8/4P3/4K3 b - - 0 40"], 3)
    about("12.", ["exit", "force", "setboard 8/8/4k3/8/8/4K3/4P3/8 w - - 0 12", "post",
                  "analyze"], 4)
    # A move is analysed, never answered; new restarts on the start position; an illegal
    # move leaves the analysis going on the same position.
    about("12...K", ["usermove e3d4"], 5)
    about("1.", ["new"], 6)
    engine.send("usermove e2e5")
    engine.expect(lambda l: l == "Illegal move: e2e5", 10, "the refusal")
    about("1.", [], 7)
    engine.send("exit")
    engine.drain(0.5)
    engine.send("ping 8")
    engine.expect(lambda l: l == "pong 8", 10, "pong after exit")
    late = engine.drain(1.0)
    assert not any(thinking(l) for l in late), f"still analysing after exit: {late[:3]}"
    engine.quit()


def fixed_time(path):
    """Under "st 1" every move comes within the second, plus the time to
    unwind and a margin for a loaded machine."""
    engine = Engine(path)
    handshake(engine)
    engine.send("new")
    engine.send("st 1")
    engine.send("force")
    worst = 0.0
    for _ in range(4):
        sent = time.monotonic()
        engine.send("go")  # the engine plays the side to move
        stamp, _ = engine.expect(lambda l: l.startswith("move "), 10, "a move under st 1")
        worst = max(worst, stamp - sent)
        engine.send("force")
    assert worst < 1.6 or not TIMING, f"a move under st 1 took {worst:.2f} s"
    # A ping during the engine's own search is answered after its move.
    engine.send("st 0.5")
    engine.send("go")
    time.sleep(0.2)
    engine.send("ping 5")
    _, line = engine.expect(lambda l: l.startswith("move ") or l.startswith("pong "), 10,
                            "the move, then the pong")
    assert line.startswith("move "), f"pong before the move: {line}"
    engine.expect(lambda l: l == "pong 5", 10, "pong after the move")
    engine.quit()
    return worst


def clock(path):
    """Forty moves in 30 seconds: the engine spends well under its clock."""
    engine = Engine(path)
    handshake(engine)
    engine.send("new")
    engine.send("level 40 0:30 0")
    engine.send("force")
    engine.send("usermove e2e4")
    remaining = 3000  # centiseconds
    used = 0.0
    for _ in range(6):
        engine.send(f"time {remaining}")
        engine.send(f"otim {remaining}")
        sent = time.monotonic()
        engine.send("go")
        stamp, line = engine.expect(lambda l: l.startswith("move "), 30, "a move under level")
        spent = stamp - sent
        used += spent
        remaining -= int(spent * 100)
        assert remaining > 0 or not TIMING, "the engine ran past its clock"
        # Budget: about clock / moves to go, never a large part of the clock.
        assert spent < 3.0 or not TIMING, f"one move took {spent:.2f} s of a 30 s clock"
        engine.send("force")
    # A depth limit beside the clock: three seconds left bound the move, not the depth.
    engine.send("level 40 5 0")
    engine.send("sd 20")
    engine.send("time 300")
    engine.send("otim 300")
    sent = time.monotonic()
    engine.send("go")
    stamp, _ = engine.expect(lambda l: l.startswith("move "), 30, "a move under sd 20")
    assert stamp - sent < 1.5 or not TIMING, f"sd 20 with 3 s left took {stamp - sent:.2f} s"
    engine.quit()
    return used


def end_of_input(path):
    """A script's input ends: the move the engine owes still comes, then it
    exits. The GUI gone during analysis or pondering ends the engine at once."""
    engine = Engine(path)
    engine.send("new")
    engine.send("st 1")
    engine.send("go")
    engine.process.stdin.close()
    engine.expect(lambda l: l.startswith("move "), 10, "the move after the end of input")
    engine.exits_cleanly(10)

    gone = []
    for start in (["force", "analyze"], ["hard", "st 1", "usermove e2e4"]):
        engine = Engine(path)
        handshake(engine)
        engine.send("new")
        for command in start:
            engine.send(command)
        if start[0] == "hard":
            engine.expect(lambda l: l.startswith("move "), 10, "the move before pondering")
        time.sleep(0.3)
        engine.send(".")
        engine.expect(lambda l: l.startswith("stat01: "), 10, "a search under way")
        engine.process.stdin.close()
        took = engine.exits_cleanly(10)
        assert took < 1.0 or not TIMING, f"{start[-1]}: {took:.2f} s to end without input"
        gone.append(took)
    return max(gone)


def interrupt(path):
    """xboard interrupts its engine before each move unless told otherwise."""
    engine = Engine(path)
    handshake(engine)
    engine.process.send_signal(signal.SIGINT)
    time.sleep(0.5)
    engine.send("ping 9")
    engine.expect(lambda l: l == "pong 9", 10, "pong after an interrupt")
    engine.quit()


def uci(path):
    """UCI: isready answered during a search, stop and ponderhit, the clock."""
    engine = Engine(path)
    engine.send("uci")
    engine.expect(lambda l: l == "uciok", 10, "uciok")
    engine.send("position startpos moves e2e4")
    engine.send("go infinite")
    engine.expect(lambda l: l.startswith("info depth"), 10, "info lines of the analysis")
    sent = time.monotonic()
    engine.send("isready")
    stamp, _ = engine.expect(lambda l: l == "readyok", 10, "readyok during the search")
    assert stamp - sent < 0.5 or not TIMING, f"readyok took {stamp - sent:.2f} s"
    time.sleep(0.3)
    engine.send("stop")
    engine.expect(lambda l: l.startswith("bestmove "), 10, "bestmove after stop")
    # A ponder search keeps its move until ponderhit, then plays within its clock.
    engine.send("position startpos moves e2e4 e7e5 g1f3")
    engine.send("go ponder wtime 20000 btime 20000 winc 0 binc 0 movestogo 20")
    engine.expect(lambda l: l.startswith("info depth"), 10, "the ponder search")
    time.sleep(0.5)
    sent = time.monotonic()
    engine.send("ponderhit")
    stamp, _ = engine.expect(lambda l: l.startswith("bestmove "), 10, "bestmove after ponderhit")
    assert stamp - sent < 2.0 or not TIMING, f"{stamp - sent:.2f} s after ponderhit"
    engine.send("go ponder wtime 20000 btime 20000")
    time.sleep(0.3)
    engine.send("stop")
    engine.expect(lambda l: l.startswith("bestmove "), 10, "bestmove after stop in ponder")
    # A go always ends by itself: an overstepped flag, no own clock, no time, no depth.
    engine.send("position startpos moves e2e4 e7e5 g1f3 b8c6")
    for go in ("go wtime -50 btime 5000 winc 1000 binc 1000", "go btime 5000", "go movetime 0",
               "go depth 0"):
        sent = time.monotonic()
        engine.send(go)
        stamp, _ = engine.expect(lambda l: l.startswith("bestmove "), 10, go)
        assert stamp - sent < 1.0 or not TIMING, f"{go} took {stamp - sent:.2f} s"
    slowest = 0.0
    for _ in range(3):
        sent = time.monotonic()
        engine.send("go movetime 1000")
        stamp, _ = engine.expect(lambda l: l.startswith("bestmove "), 10, "movetime 1000")
        slowest = max(slowest, stamp - sent)
    assert slowest < 1.1 or not TIMING, f"go movetime 1000 took {slowest:.2f} s"
    engine.quit()
    return slowest


def long_counts(path):
    """perft and divide stop for "?", "new" and "quit", and say that their
    count is incomplete; a search stops for perft and runs it after."""
    engine = Engine(path)
    engine.send("new")
    engine.send("st 1")
    engine.send("go")
    engine.send("perft 2")
    engine.expect(lambda l: l.startswith("move "), 10, "the move before perft")
    engine.expect(lambda l: l.startswith("perft 2 "), 10, "perft after the search")
    for command, stop in (("perft 12", "?"), ("divide 12", "new")):
        engine.send(command)
        time.sleep(0.3)
        sent = time.monotonic()
        engine.send(stop)
        stamp, line = engine.expect(lambda l: l.startswith(command.split()[0][:5] + " 12 ")
                                    or l.startswith("perft 12 "), 10, f"{command} stopped")
        assert line.endswith("(stopped: the count is incomplete)"), line
        assert stamp - sent < 1.0 or not TIMING, f"{command} took {stamp - sent:.2f} s to stop"
    engine.send("perft 12")
    time.sleep(0.3)
    engine.send("quit")
    engine.expect(lambda l: l.startswith("perft 12 "), 10, "perft stopped by quit")
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
        handshake(engine)
        engine.process.stdin.write("\n".join(game) + "\n")
        engine.process.stdin.flush()
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
        handshake(engine)
        engine.expect(lambda l: l.startswith("telluser ") and "without learning" in l, 10,
                      "the read-only notice")
        for line in game:
            engine.send(line)
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
    status, out, _ = run("--help")
    assert status == 0 and out.startswith("usage: vostrel"), out
    status, out, _ = run("--version")
    assert status == 0 and out.startswith("Vostrel "), out
    status, out, _ = run("bench", "1")
    assert status == 0 and "Nodes searched: " in out and "Nodes/second: " in out, out
    for wrong in (["--frobnicate"], ["bench", "x"], ["bench", "1", "2"]):
        status, _, errors = run(*wrong)
        assert status == 2 and errors.startswith("vostrel: "), (wrong, status, errors)


def main():
    path = COMMAND
    interrupt(path)
    print("interrupt: ok")
    analysis(path)
    print("analysis: ok")
    print(f"st 1: ok, slowest move {fixed_time(path):.2f} s")
    print(f"level 40 0:30: ok, six moves in {clock(path):.2f} s")
    print(f"end of input: ok, analysis and pondering ended within {end_of_input(path):.2f} s")
    print(f"uci: ok, go movetime 1000 answered within {uci(path):.2f} s")
    command_line(path)
    print("command line: ok")
    long_counts(path)
    print("long counts: ok")
    print(f"book files: {book_files(path)}")


if __name__ == "__main__":
    main()
