#!/usr/bin/env python3
"""Depth and node rate at a fixed time: each build searches every bench
position for --st seconds through the xboard protocol (book and learning
off, an empty directory), and the last thinking line of each search counts.

  tools/depth_at_time.py ENGINE [ENGINE ...] [--st 1]

Prints, per build, the median and mean depth with the lowest and highest,
and the median node rate. The builds take turns position by position, so
that load on the machine falls on all of them alike.
"""
import argparse
import os
import re
import statistics
import subprocess
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def bench_positions():
    with open(os.path.join(ROOT, "src", "driver", "bench.cpp")) as f:
        return re.findall(r'^\s+"([^"]+/[^"]+)",$', f.read(), re.M)


def search(engine, fen, seconds):
    """(depth, score, centiseconds, nodes) of the last thinking line."""
    with tempfile.TemporaryDirectory() as directory:
        with open(os.path.join(directory, "vostrel.ini"), "w") as f:
            f.write("book_allowed = no\nbook_learning = no\n")
        # A castling field of file letters marks a fischerandom position.
        variant = "variant fischerandom\n" if re.search(r" [A-H]+[a-h]+ ", fen) else ""
        text = f"xboard\nprotover 2\nnew\n{variant}force\nsetboard {fen}\npost\nst {seconds}\ngo\n"
        engine_process = subprocess.Popen([os.path.abspath(engine)], stdin=subprocess.PIPE,
                                          stdout=subprocess.PIPE, text=True, cwd=directory)
        engine_process.stdin.write(text)
        engine_process.stdin.flush()
        last = None
        for line in engine_process.stdout:
            thinking = re.match(r"^(\d+) (-?\d+) (\d+) (\d+) ", line)
            if thinking:
                last = tuple(int(x) for x in thinking.groups())
            # A lost position may end the search with a resignation instead.
            if line.startswith(("move ", "resign", "1-0", "0-1", "1/2-1/2")):
                break
        engine_process.stdin.write("quit\n")
        engine_process.stdin.flush()
        engine_process.wait()
        return last


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("engines", nargs="+")
    parser.add_argument("--st", type=int, default=1, help="seconds per position")
    args = parser.parse_args()
    results = {engine: [] for engine in args.engines}
    for fen in bench_positions():
        for engine in args.engines:
            line = search(engine, fen, args.st)
            if line:
                results[engine].append(line)
    for engine, lines in results.items():
        depths = [line[0] for line in lines]
        rates = [line[3] * 100 / max(line[2], 1) for line in lines]
        print(f"{engine}: depth median {statistics.median(depths)}, mean "
              f"{statistics.mean(depths):.1f} (lowest {min(depths)}, highest {max(depths)}); "
              f"node rate median {statistics.median(rates) / 1e6:.2f} Mnps; "
              f"{len(lines)} positions at {args.st} s")


if __name__ == "__main__":
    main()
