#!/usr/bin/env python3
"""Times stockfish's own perft on the bench positions, for comparison with
perft_bench on the same machine in the same run. Prints the median rate."""
import statistics
import subprocess
import sys
import time

CASES = [
    ("startpos", 6),
    ("fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 5),
]


def run(engine, position, depth):
    proc = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    proc.stdin.write("uci\nisready\n")
    proc.stdin.flush()
    for line in proc.stdout:
        if line.startswith("readyok"):
            break
    proc.stdin.write(f"position {position}\ngo perft {depth}\n")
    proc.stdin.flush()
    start = time.perf_counter()
    for line in proc.stdout:
        if line.startswith("Nodes searched"):
            elapsed = time.perf_counter() - start
            leaves = int(line.split(":")[1])
            break
    proc.stdin.write("quit\n")
    proc.stdin.flush()
    proc.wait()
    return leaves, leaves / elapsed


def main():
    engine = sys.argv[1] if len(sys.argv) > 1 else "/usr/games/stockfish"
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    for position, depth in CASES:
        results = [run(engine, position, depth) for _ in range(repeats)]
        rate = statistics.median(r for _, r in results)
        print(f"stockfish perft {depth} {results[0][0]}  median {rate / 1e6:.1f} M leaves/s over {repeats} runs")


if __name__ == "__main__":
    main()
