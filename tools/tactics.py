#!/usr/bin/env python3
"""A tactics set from the engine's own games, and builds scored on it.

  tools/tactics.py verify CANDIDATES ENGINE [--st 5] [--limit 100] > set.txt
  tools/tactics.py solve SET ENGINE [ENGINE ...] [--st 1]

CANDIDATES are vostrel_tactics's lines (START;MOVES;MOVE: a move that won
material in a game). verify keeps those where ENGINE, searching two lines
(MultiPV 2) for --st seconds, finds the game's move best and at least
--margin centipawns better than any other, and at least --margin ahead: one
move wins. solve gives every build --st seconds a position through UCI,
taking turns position by position so that load falls on all alike, and
prints how many each found.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

INFO_RE = re.compile(r"^info depth (\d+) .*?multipv (\d+) score (cp|mate) (-?\d+) .*? pv (\S+)")


def think(engine, start, moves, seconds, lines=1):
    """The best move, and for each line its (depth, score, first move) at the
    last depth that reported it."""
    with tempfile.TemporaryDirectory() as directory:  # no book, no learning
        with open(os.path.join(directory, "vostrel.ini"), "w") as f:
            f.write("book_allowed = no\nbook_learning = no\n")
        position = f"position fen {start}" + (f" moves {moves}" if moves else "")
        text = (f"uci\nsetoption name MultiPV value {lines}\nisready\n{position}\n"
                f"go movetime {int(seconds * 1000)}\n")
        process = subprocess.Popen([os.path.abspath(engine)], stdin=subprocess.PIPE,
                                   stdout=subprocess.PIPE, text=True, cwd=directory)
        process.stdin.write(text)
        process.stdin.flush()
        best, reported = None, {}
        for line in process.stdout:
            info = INFO_RE.match(line)
            if info:
                depth, rank, kind, value, move = info.groups()
                score = int(value) if kind == "cp" else (100000 if int(value) > 0 else -100000)
                reported[int(rank)] = (int(depth), score, move)
            if line.startswith("bestmove"):
                best = line.split()[1]
                break
        process.stdin.write("quit\n")
        process.stdin.flush()
        process.wait()
        return best, reported


def read_set(path):
    with open(path) as f:
        return [line.rstrip("\n").split(";") for line in f if line.count(";") == 2]


def verify(args):
    kept = 0
    for start, moves, move in read_set(args.candidates):
        best, lines = think(args.engine, start, moves, args.st, 2)
        if best != move or 1 not in lines or 2 not in lines or lines[1][0] != lines[2][0]:
            continue
        if lines[1][1] - lines[2][1] >= args.margin and lines[1][1] >= args.margin:
            print(f"{start};{moves};{move}", flush=True)
            kept += 1
            if kept >= args.limit:
                break


def solve(args):
    positions = read_set(args.set)
    found = {engine: 0 for engine in args.engines}
    for start, moves, move in positions:
        for engine in args.engines:
            best, _ = think(engine, start, moves, args.st)
            found[engine] += best == move
    for engine, count in found.items():
        print(f"{engine}: {count} of {len(positions)} found at {args.st} s")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    v = commands.add_parser("verify")
    v.add_argument("candidates")
    v.add_argument("engine")
    v.add_argument("--st", type=float, default=5)
    v.add_argument("--margin", type=int, default=150, help="centipawns")
    v.add_argument("--limit", type=int, default=100)
    s = commands.add_parser("solve")
    s.add_argument("set")
    s.add_argument("engines", nargs="+")
    s.add_argument("--st", type=float, default=1)
    args = parser.parse_args()
    verify(args) if args.command == "verify" else solve(args)


if __name__ == "__main__":
    sys.exit(main())
