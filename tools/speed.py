#!/usr/bin/env python3
"""The speed of one build of the engine against another, in the same run.

  tools/speed.py A B [--depth 8] [--pairs 7] [--runner wine]

Runs `A bench DEPTH` and `B bench DEPTH` in turn (A B A B ...), PAIRS times,
and takes from each run the processor time its process used (user and system,
so that a busy machine's waiting does not count) and its node total.  Each
pair gives the ratio of B's nodes per processor second to A's; the median of
those ratios is the speed of B against A (above 1: B is faster), printed with
the lowest and highest, and beside it the ratio of each build's fastest run,
which a noisy machine (a shared virtual one) disturbs least.  Pairs rather than totals: a machine's load drifts,
and within a pair both runs see the same.  The node totals of A and B are
compared too: a change meant to keep the search must keep them.  Exit status
0, or 1 when a run fails; 2 for bad usage.
"""
import argparse, os, re, statistics, sys

NODES_RE = re.compile(r"^Nodes searched: (\d+)", re.M)


def run_once(command, depth):
    """Processor seconds and node total of one bench run; the child is reaped
    here, so that its own usage is known."""
    read, write = os.pipe()
    pid = os.fork()
    if pid == 0:
        os.close(read)
        os.dup2(write, 1)
        devnull = os.open(os.devnull, os.O_RDWR)
        os.dup2(devnull, 0)
        os.dup2(devnull, 2)
        try:
            os.execvp(command[0], command + ["bench", str(depth)])
        finally:
            os._exit(127)
    os.close(write)
    chunks = []
    while True:
        chunk = os.read(read, 65536)
        if not chunk:
            break
        chunks.append(chunk)
    os.close(read)
    _, status, usage = os.wait4(pid, 0)
    out = b"".join(chunks).decode(errors="replace")
    if status != 0:
        raise RuntimeError(f"{' '.join(command)} bench {depth} failed (status {status})")
    found = NODES_RE.search(out)
    if not found:
        raise RuntimeError(f"{' '.join(command)} bench {depth} printed no node total")
    return usage.ru_utime + usage.ru_stime, int(found.group(1))


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("a", help="the build to compare against")
    p.add_argument("b", help="the build measured")
    p.add_argument("--depth", type=int, default=8)
    p.add_argument("--pairs", type=int, default=7)
    p.add_argument("--runner", default="", help="program that starts both, e.g. wine")
    args = p.parse_args()
    if args.pairs < 5:
        p.error("--pairs must be at least 5")
    for program in (args.a, args.b):
        if not os.access(program, os.X_OK):
            p.error(f"not an executable: {program}")
    runner = args.runner.split()
    ratios, nodes, fastest = [], {}, {"a": 0.0, "b": 0.0}
    try:
        for pair in range(1, args.pairs + 1):
            seconds_a, nodes["a"] = run_once(runner + [os.path.abspath(args.a)], args.depth)
            seconds_b, nodes["b"] = run_once(runner + [os.path.abspath(args.b)], args.depth)
            ratio = (nodes["b"] / seconds_b) / (nodes["a"] / seconds_a)
            ratios.append(ratio)
            fastest["a"] = max(fastest["a"], nodes["a"] / seconds_a)
            fastest["b"] = max(fastest["b"], nodes["b"] / seconds_b)
            print(f"pair {pair}: A {nodes['a'] / seconds_a / 1e6:.3f} Mnps ({seconds_a:.2f} s), "
                  f"B {nodes['b'] / seconds_b / 1e6:.3f} Mnps ({seconds_b:.2f} s), "
                  f"B/A {ratio:.3f}", flush=True)
    except RuntimeError as error:
        print(f"speed.py: {error}", file=sys.stderr)
        return 1
    print(f"speed B/A: median {statistics.median(ratios):.3f} "
          f"(lowest {min(ratios):.3f}, highest {max(ratios):.3f}, {len(ratios)} pairs, "
          f"bench {args.depth})")
    # Load only ever slows a run: on a noisy machine the fastest runs agree best.
    print(f"fastest runs: A {fastest['a'] / 1e6:.3f} Mnps, B {fastest['b'] / 1e6:.3f} Mnps, "
          f"B/A {fastest['b'] / fastest['a']:.3f}")
    if nodes["a"] == nodes["b"]:
        print(f"node totals equal: {nodes['a']}")
    else:
        print(f"node totals differ: A {nodes['a']}, B {nodes['b']}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
