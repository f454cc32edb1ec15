#!/usr/bin/env python3
"""Mutation check: does the test suite catch small deliberate faults?

Copies a source tree (the repository's tracked and unignored files) to a work
directory, builds it once, then applies each fault below on its own, rebuilds,
runs the tests as the README does and restores the file. A fault is caught
when a test fails or times out; a fault whose text no longer matches the
source, or whose build fails, stops the run, so the table stays in step with
the code.

    tools/mutate.py [--tree DIR] [--work DIR] [--only 3,7] [--list] [--out FILE]
"""
import argparse
import filecmp
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# (file, text in the source, its replacement, what the fault is). Each text
# must occur exactly once in its file.
FAULTS = [
    # board
    ("src/board/types.h",
     "return board.ply - board.fiftyMoveStart; }",
     "return board.ply - board.fiftyMoveStart + 1; }",
     "fifty-move count one too high"),
    ("src/board/makemove.cpp",
     "loseRookRight(*board.stack, op, to);",
     ";",
     "castling right kept when its rook is captured"),
    ("src/board/makemove.cpp",
     "op.hashPart ^= enPassantKey(board.epFile);\n        board.epFile = 0;\n    }\n\n",
     "op.hashPart ^= enPassantKey(board.epFile);\n    }\n\n",
     "en-passant square kept after the next move"),
    ("src/board/movegen.cpp",
     "kind <= KindPromoteBishop; ++kind)",
     "kind < KindPromoteBishop; ++kind)",
     "no promotion to bishop in the main generator"),
    # notation
    ("src/notation/fen.cpp",
     "if (!(pawnAttackTable[colour ^ 1][target] & board.toMove->pawns)) return;",
     "return;",
     "FEN en-passant square ignored"),
    ("src/notation/movetext.cpp",
     "case 'n': return Knight;",
     "case 'n': return Bishop;",
     "promotion letter n read as a bishop"),
    ("src/notation/movetext.cpp",
     "{0, 0, 'n', 'b', 'r', 'q', 0}",
     "{0, 0, 'b', 'n', 'r', 'q', 0}",
     "knight and bishop promotion letters swapped in output"),
    # eval
    ("src/eval/passers.cpp",
     "if (flags & BlackOutsidePasser) score -= 300;",
     "if (flags & BlackOutsidePasser) score += 300;",
     "outside-passer term's sign flipped for Black only"),
    ("src/eval/pawns.cpp",
     "{-28, -23, -22, -18, -18, -22, -23, -28}",
     "{-28, -23, -22, -18, -18, -22, -23, -8}",
     "doubled isolated pawn on the h-file penalised less"),
    ("src/eval/endgame.cpp",
     "if (!(bishops & LightSquares) || !(bishops & DarkSquares)) return Drawn;",
     "if (!(bishops & LightSquares) && !(bishops & DarkSquares)) return Drawn;",
     "bishops of one colour no longer drawn"),
    ("src/eval/material.cpp",
     "materialRecord(415, 375)",
     "materialRecord(425, 375)",
     "knight's opening value changed"),
    # search
    ("src/search/alphabeta.cpp",
     "node.alpha, Bound::Upper,",
     "node.alpha, Bound::Lower,",
     "fail-low stored as a lower bound"),
    ("src/search/alphabeta.cpp",
     "if (undo[board.ply - back].hashKey == board.hashKey) return 0;",
     "if (undo[board.ply - back].hashKey == board.hashKey) return 50;",
     "repetition scored half a pawn instead of a draw"),
    ("src/search/tt.cpp",
     "if (score > MateBound) score += ply;",
     "if (score > MateBound) score -= ply;",
     "mate distance stored from the wrong end"),
    ("src/search/timeman.cpp",
     "int64_t(limits.increment) * 80 / 100",
     "int64_t(limits.increment) * 100 / 100",
     "the whole increment spent"),
    ("src/search/quiescence.cpp",
     "if (count == 0) return ply - Mate;",
     "if (count == 0) return 0;",
     "mate in the quiescence search scored as a draw"),
    # book
    ("src/book/book.cpp",
     "uint16_t(outcome == 1), uint16_t(outcome == -1)",
     "uint16_t(outcome == -1), uint16_t(outcome == 1)",
     "a learned result counted for the wrong side"),
    ("src/book/book.cpp",
     "return (wins + record.draws / 2.0) / games;",
     "return (wins + record.draws) / games;",
     "a draw counted as a win in the book's score"),
    ("src/book/book.cpp",
     "white /= 2;",
     "white /= 4;",
     "white's wins quartered when a record's counts overflow"),
    # driver
    ("src/driver/options.cpp",
     "magnitude = magnitude * 10 + (*p - '0');",
     "magnitude = magnitude * 8 + (*p - '0');",
     "ini numbers read in base 8"),
    ("src/driver/xboard.cpp",
     '{"?", moveNow},',
     '{"??", moveNow},',
     "'?' does not make the engine move now"),
    ("src/driver/game.cpp",
     "++count == 3) return true;",
     "++count == 4) return true;",
     "threefold repetition claimed only at the fourth"),
    ("src/driver/game.cpp",
     "fiftyMoveCount(board) >= 100)",
     "fiftyMoveCount(board) > 100)",
     "fifty-move claim one ply late"),
    ("src/driver/uci.cpp",
     "movesToGo = number();",
     "number();",
     "UCI movestogo ignored"),
    # platform
    ("src/platform/input.cpp",
     "if (open && length > 0) pushLine(reader, line, length);",
     "(void)open;",
     "the last line dropped when it has no line end"),
    ("src/platform/input.cpp",
     "if (length > 0 && line[length - 1] == '\\r') --length;",
     ";",
     "carriage return kept at the end of a line"),
    ("src/platform/posix.cpp",
     "uint64_t(now.tv_sec) * 1000000000u",
     "uint64_t(now.tv_sec) * 100000000u",
     "the clock's seconds counted a tenth"),
]


def run(command, cwd, timeout=None):
    try:
        result = subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, text=True, timeout=timeout)
        return result.returncode, result.stdout
    except subprocess.TimeoutExpired as expired:
        output = expired.stdout or b""
        return None, output.decode(errors="replace") if isinstance(output, bytes) else output


def copy_tree(tree, work):
    files = subprocess.run(["git", "-C", tree, "ls-files", "-z", "-co", "--exclude-standard"],
                           check=True, stdout=subprocess.PIPE).stdout.split(b"\0")
    for name in filter(None, (f.decode() for f in files)):
        source = os.path.join(tree, name)
        if not os.path.isfile(source):
            continue
        target = os.path.join(work, name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        # Only what differs, with a new time stamp: a work directory left by an
        # interrupted run rebuilds exactly the files that changed.
        if not os.path.isfile(target) or not filecmp.cmp(source, target, shallow=False):
            shutil.copyfile(source, target)


def build(work, jobs, targets=()):
    command = ["cmake", "--build", "build", "-j", str(jobs)]
    if targets:
        command += ["--target", *targets]
    code, output = run(command, work)
    return code == 0, output


def test(work, jobs, timeout, first_failure=False):
    """The names of the failing tests, or None when all passed."""
    command = ["ctest", "--test-dir", "build", "--output-on-failure", "-j", str(jobs),
               "--timeout", str(timeout)]
    if first_failure:
        command.append("--stop-on-failure")
    code, output = run(command, work, timeout=timeout * 4)
    if code == 0:
        return None
    failed = re.findall(r"^\s*\d+ - (\S+) \(", output, re.MULTILINE)
    return failed or ["(ctest " + ("timed out" if code is None else "status %d" % code) + ")"]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--tree", default=root, help="source tree to mutate (a git checkout)")
    parser.add_argument("--work", help="work directory (default: a new temporary one)")
    parser.add_argument("--only", help="comma-separated fault numbers")
    parser.add_argument("--list", action="store_true", help="list the faults and stop")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--timeout", type=int, default=300, help="seconds per test")
    parser.add_argument("--out", help="also write the table to this file")
    parser.add_argument("--first-failure", action="store_true",
                        help="stop each run at its first failing test (faster; names only that one)")
    args = parser.parse_args()
    # A terminated run still puts the mutated file back (the finally below).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(3))

    chosen = range(1, len(FAULTS) + 1)
    if args.only:
        chosen = [int(n) for n in args.only.split(",")]
    if args.list:
        for n in chosen:
            print("%2d  %-26s %s" % (n, FAULTS[n - 1][0], FAULTS[n - 1][3]))
        return 0

    work = args.work or tempfile.mkdtemp(prefix="vostrel-mutate.")
    tree = os.path.abspath(args.tree)
    print("work directory:", work, flush=True)
    copy_tree(tree, work)
    for n in chosen:
        path, old, new, what = FAULTS[n - 1]
        with open(os.path.join(work, path)) as f:
            count = f.read().count(old)
        if count != 1:
            print("fault %d (%s): its text occurs %d times in %s" % (n, what, count, path))
            return 2

    code, output = run(["cmake", "-S", ".", "-B", "build"], work)
    ok, output = build(work, args.jobs) if code == 0 else (False, output)
    failed = test(work, args.jobs, args.timeout) if ok else None
    if not ok or failed:
        print(output[-3000:] if not ok else "failing: " + ", ".join(failed))
        print("the unchanged tree does not build or pass its tests")
        return 2

    rows, missed = [], 0
    for n in chosen:
        path, old, new, what = FAULTS[n - 1]
        file_name = os.path.join(work, path)
        with open(file_name) as f:
            original = f.read()
        with open(file_name, "w") as f:
            f.write(original.replace(old, new))
        started = time.time()
        try:
            # What the tests run; the benchmarks wait for the end.
            ok, output = build(work, args.jobs, ("vostrel", "vostrel_tests"))
            if not ok:
                print(output[-3000:])
                print("fault %d (%s) does not build" % (n, what))
                return 2
            failed = test(work, args.jobs, args.timeout, args.first_failure)
        finally:
            with open(file_name, "w") as f:
                f.write(original)
        caught = failed is not None
        missed += not caught
        shown = ", ".join(failed[:3]) + (" ..." if caught and len(failed) > 3 else "") \
            if caught else "-"
        row = "%2d | %-24s | %-52s | %-3s | %s" % (n, path[4:], what, "yes" if caught else "NO",
                                                   shown)
        rows.append(row)
        print(row, " (%.0f s)" % (time.time() - started), flush=True)
    build(work, args.jobs)  # leaves the work tree's build unmutated

    print("\n%d faults, %d caught, %d missed" % (len(rows), len(rows) - missed, missed))
    if args.out:
        with open(args.out, "w") as f:
            f.write(" # | file                     | fault%s| caught | failing tests\n"
                    % (" " * 48))
            f.write("\n".join(rows) + "\n")
            f.write("%d faults, %d caught, %d missed\n" % (len(rows), len(rows) - missed, missed))
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
