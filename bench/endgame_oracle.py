#!/usr/bin/env python3
"""Soundness check of the endgame recognisers of five and six men.

Draws random positions of every material of five and six men, keeps those that
a recogniser gives a verdict on (via endgame_probe), and asks stockfish for its
score on a sample of them per class and verdict kind. A verdict disagrees when
stockfish's score contradicts it:
  +1 / -1 (that side wins): agree when stockfish has that side mating or
          ahead by at least --win centipawns;
  +2 / -2 (that side cannot lose): agree unless stockfish has that side mated
          or behind by --loss centipawns or more;
  0 (draw): agree unless stockfish has either side lost in that sense.
Dead positions (bishops of one colour against a bare king) are drawn whatever
stockfish scores: there the verdict is judged against the draw and listed apart.
Stockfish has no tablebases here, so a disagreement is a position to look at,
not a proof: the report is not a gate and exits 0 unless the probe fails.

Usage:
  python3 bench/endgame_oracle.py build/endgame_probe [--per-class N]
      [--nodes 300000] [--seed S] [--stockfish /usr/games/stockfish] [--quick]
"""

import argparse
import itertools
import random
import subprocess
import sys
import threading
import time

VERDICTS = (1, -1, 0, 2, -2)
VERDICT_NAMES = {1: "+1", -1: "-1", 0: "0", 2: "+2", -2: "-2"}

# Small classes whose recognisers also cover five and six men.
EXTENDED_SMALL = {7, 8, 11, 12, 13, 14}

MATE = 100000  # mate in n moves scores MATE - n, being mated -(MATE - n)


def materials():
    """Every split of three or four men of kinds P N B R Q between the sides,
    as (white men, black men) strings such as ("RP", "R")."""
    sides = {k: ["".join(c) for c in itertools.combinations_with_replacement("QRBNP", k)]
             for k in range(5)}
    result = []
    for total in (3, 4):
        for white in range(total + 1):
            for w in sides[white]:
                for b in sides[total - white]:
                    result.append((w, b))
    return result


def distance(a, b):
    return max(abs(a % 8 - b % 8), abs(a // 8 - b // 8))


def random_position(rng, material):
    """FEN of a random placement: kings not adjacent, pawns on ranks 2 to 7,
    either side to move. Half of the positions are drawn around one focus
    square, so that kings, pawns and pieces meet more often than when spread
    over the board: many rules turn on such contacts."""
    white, black = material
    men = ["K", "k"] + list(white) + [m.lower() for m in black]
    rng.shuffle(men)
    focus = rng.randrange(64) if rng.random() < 0.5 else None
    board = {}
    for man in men:
        for attempt in range(100):
            square = rng.randrange(64)
            if square in board:
                continue
            if man in "Pp" and not 8 <= square < 56:
                continue
            if focus is not None and distance(square, focus) > 2 and attempt < 60:
                continue
            if man in "Kk":
                other = "k" if man == "K" else "K"
                kings = [s for s, m in board.items() if m == other]
                if kings and distance(square, kings[0]) < 2:
                    continue
            board[square] = man
            break
        else:
            return None
    rows = []
    for rank in range(7, -1, -1):
        row, empty = "", 0
        for file in range(8):
            man = board.get(rank * 8 + file)
            if man is None:
                empty += 1
            else:
                if empty:
                    row += str(empty)
                    empty = 0
                row += man
        rows.append(row + (str(empty) if empty else ""))
    return "%s %s - - 0 1" % ("/".join(rows), rng.choice("wb"))


class Probe:
    """One endgame_probe process fed in batches (an empty line flushes)."""

    def __init__(self, path):
        self.process = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True, bufsize=1 << 16)

    def run(self, fens):
        def feed():
            self.process.stdin.write("".join(f + "\n" for f in fens) + "\n")
            self.process.stdin.flush()

        # Written from a thread: a large batch would fill both pipes otherwise.
        writer = threading.Thread(target=feed, daemon=True)
        writer.start()
        results = []
        for fen in fens:
            line = self.process.stdout.readline()
            fields = line.rstrip("\n").split("\t")
            if not line or fields[0] != fen:
                fail("endgame_probe answered %r to %r" % (line, fen))
            if fields[1] == "invalid":
                results.append(None)
                continue
            if len(fields) != 6:
                fail("endgame_probe printed %r" % line)
            material, label = int(fields[1]), fields[2]
            found, result, flag = int(fields[3]), int(fields[4]), int(fields[5])
            results.append((material, label, found, result, flag))
        writer.join()
        return results

    def close(self):
        self.process.stdin.close()
        if self.process.wait() != 0:
            fail("endgame_probe exited with status %d" % self.process.returncode)


def fail(message):
    print("endgame_oracle: " + message, file=sys.stderr)
    sys.exit(2)


class Stockfish:
    def __init__(self, path):
        self.process = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, text=True, bufsize=1)
        self.send("uci")
        self.wait_for("uciok")
        self.send("setoption name Threads value 1")
        self.send("setoption name Hash value 16")

    def send(self, command):
        self.process.stdin.write(command + "\n")

    def wait_for(self, word):
        lines = []
        while True:
            line = self.process.stdout.readline()
            if not line:
                raise RuntimeError("stockfish quit")
            lines.append(line)
            if line.split()[:1] == [word]:
                return lines

    def score(self, fen, nodes):
        """Score of the final iteration, White's view, mates as +-(MATE - moves)."""
        self.send("ucinewgame")
        self.send("isready")
        self.wait_for("readyok")
        self.send("position fen " + fen)
        self.send("go nodes %d" % nodes)
        score = None
        for line in self.wait_for("bestmove"):
            words = line.split()
            if words[:1] != ["info"] or "score" not in words:
                continue
            at = words.index("score")
            if "lowerbound" in words or "upperbound" in words:
                if score is not None:
                    continue
            kind, value = words[at + 1], int(words[at + 2])
            if kind == "cp":
                score = value
            else:  # "mate 0": the side to move is mated
                score = MATE - value if value > 0 else -MATE - value
        if score is None:
            raise RuntimeError("no score for " + fen)
        return score if fen.split()[1] == "w" else -score

    def close(self):
        self.send("quit")
        self.process.stdin.close()
        self.process.wait()


def format_score(score):
    if score > MATE // 2:
        return "#%d" % (MATE - score)
    if score < -MATE // 2:
        return "#-%d" % (MATE + score)
    return "%+d" % score


def dead_position(fen):
    """Bishops all on squares of one colour against a bare king: no mate is
    possible, but stockfish scores the extra bishops as material."""
    men, colours = [], set()
    for rank, row in enumerate(fen.split()[0].split("/")):
        file = 0
        for char in row:
            if char.isdigit():
                file += int(char)
                continue
            if char not in "Kk":
                men.append(char)
                if char in "Bb":
                    colours.add((rank + file) % 2)
            file += 1
    kinds = set(men)
    return len(colours) == 1 and (kinds == {"B"} or kinds == {"b"})


def agrees(verdict, score, win, loss):
    white_wins = score >= win
    black_wins = score <= -win
    white_lost = score <= -loss
    black_lost = score >= loss
    if verdict == 1:
        return white_wins
    if verdict == -1:
        return black_wins
    if verdict == 2:
        return not white_lost
    if verdict == -2:
        return not black_lost
    return not white_lost and not black_lost


def collect(args, rng, probe):
    """Draws positions in rounds until every class has per-class positions of
    each verdict kind or its share of draws is spent. Returns
    {class: (label, drawn, recognised, {verdict: [fen, ...]})}, the
    positions of each kind spread over the class's materials."""
    todo = materials()
    class_of = {}  # material -> class number, once seen
    labels = {}  # class -> label
    members = {}  # class -> materials
    pools = {}  # material -> verdict -> fens
    drawn = {}  # material -> valid positions drawn
    recognised = {}  # material -> positions with a verdict
    active = set(todo)
    batch = 32
    rounds = 0
    while active:
        rounds += 1
        fens, owners = [], []
        for material in sorted(active):
            for _ in range(batch):
                fen = random_position(rng, material)
                if fen:
                    fens.append(fen)
                    owners.append(material)
        for fen, material, answer in zip(fens, owners, probe.run(fens)):
            if answer is None:
                continue
            number, label, found, result, _flag = answer
            if number == 0 or (number < 40 and number not in EXTENDED_SMALL):
                continue
            if material not in class_of:
                class_of[material] = number
                labels[number] = label
                members.setdefault(number, []).append(material)
                pools[material] = {v: [] for v in VERDICTS}
                drawn[material] = recognised[material] = 0
            drawn[material] += 1
            if found:
                recognised[material] += 1
                pool = pools[material][result]
                if len(pool) < args.per_class and fen not in pool:
                    pool.append(fen)
        for material in list(active):
            number = class_of.get(material)
            if number is None:  # not covered by any five- or six-men class
                active.discard(material)
                continue
            share = -(-args.draws // len(members[number]))
            group = members[number]
            full = all(sum(len(pools[m][v]) for m in group) >= args.per_class for v in VERDICTS)
            if drawn[material] >= share or full:
                active.discard(material)
        print("sampling: round %d, %d positions, %d materials still drawing"
              % (rounds, len(fens), len(active)), file=sys.stderr)
        batch = 256
    classes = {}
    for number, group in members.items():
        chosen = {}
        for verdict in VERDICTS:
            # Round robin over the materials, so that one material does not
            # fill the class's sample.
            lists = [pools[m][verdict] for m in group]
            picked = []
            for row in itertools.zip_longest(*lists):
                picked.extend(f for f in row if f is not None)
            chosen[verdict] = picked[:args.per_class]
        classes[number] = (labels[number], sum(drawn[m] for m in group),
                           sum(recognised[m] for m in group), chosen)
    return classes


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("probe", help="path of the endgame_probe program")
    parser.add_argument("--per-class", type=int, default=None,
                        help="positions per class and verdict kind (default 8, quick 1)")
    parser.add_argument("--nodes", type=int, default=None,
                        help="stockfish nodes per position (default 300000, quick 100000)")
    parser.add_argument("--draws", type=int, default=None,
                        help="random positions per class at most (default 20000, quick 500)")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--win", type=int, default=150,
                        help="centipawns that count as a win (default 150)")
    parser.add_argument("--loss", type=int, default=300,
                        help="centipawns that count as a loss (default 300)")
    parser.add_argument("--stockfish", default="/usr/games/stockfish")
    parser.add_argument("--quick", action="store_true", help="few positions: a smoke run")
    args = parser.parse_args()
    if args.per_class is None:
        args.per_class = 1 if args.quick else 8
    if args.nodes is None:
        args.nodes = 100000 if args.quick else 300000
    if args.draws is None:
        args.draws = 500 if args.quick else 20000

    start = time.time()
    rng = random.Random(args.seed)
    try:
        probe = Probe(args.probe)
    except OSError as error:
        fail("cannot run %s: %s" % (args.probe, error))
    classes = collect(args, rng, probe)
    probe.close()
    sampled = time.time()

    work = [(number, verdict, fen) for number in sorted(classes)
            for verdict in VERDICTS for fen in classes[number][3][verdict]]
    print("sampling took %.0f s; %d positions for stockfish" % (sampled - start, len(work)),
          file=sys.stderr)
    try:
        stockfish = Stockfish(args.stockfish)
    except (OSError, RuntimeError) as error:
        fail("cannot run %s: %s" % (args.stockfish, error))
    checked, lost = [], []
    for index, (number, verdict, fen) in enumerate(work):
        try:
            score = stockfish.score(fen, args.nodes)
        except (OSError, RuntimeError) as error:
            # One odd position must not cost the run: note it, start afresh.
            print("stockfish failed on %s: %s" % (fen, error), file=sys.stderr)
            lost.append(fen)
            stockfish.process.kill()
            stockfish.process.wait()
            stockfish = Stockfish(args.stockfish)
            continue
        dead = dead_position(fen)
        agreed = verdict in (0, 2, -2) if dead else agrees(verdict, score, args.win, args.loss)
        checked.append((number, verdict, fen, score, agreed, dead))
        if (index + 1) % 50 == 0 or index + 1 == len(work):
            spent = time.time() - sampled
            left = spent / (index + 1) * (len(work) - index - 1)
            print("stockfish: %d/%d, %.0f s, about %.0f s left"
                  % (index + 1, len(work), spent, left), file=sys.stderr)
    stockfish.close()
    report(args, classes, checked, time.time() - start)
    for fen in lost:
        print("no stockfish score (skipped): " + fen)
    return 0


def report(args, classes, checked, seconds):
    tally = {}  # (class, verdict) -> [checked, disagreements]
    for number, verdict, _fen, _score, agreed, _dead in checked:
        cell = tally.setdefault((number, verdict), [0, 0])
        cell[0] += 1
        cell[1] += not agreed
    width = max([len(c[0]) for c in classes.values()] + [5])
    print("Recognisers against stockfish: %d nodes, win %d cp, loss %d cp, %d per class and "
          "verdict, seed %d" % (args.nodes, args.win, args.loss, args.per_class, args.seed))
    print("Cells: positions checked/disagreements; drawn: random positions of the class, "
          "with verdict: the share the recogniser decided.")
    print()
    header = "%-*s %5s %7s %6s" % (width, "class", "no.", "drawn", "verd%")
    header += "".join(" %7s" % VERDICT_NAMES[v] for v in VERDICTS)
    print(header)
    for number in sorted(classes):
        label, drawn, recognised, _chosen = classes[number]
        row = "%-*s %5d %7d %5.1f%%" % (width, label, number, drawn,
                                         100.0 * recognised / drawn if drawn else 0.0)
        for verdict in VERDICTS:
            cell = tally.get((number, verdict))
            row += " %7s" % ("%d/%d" % tuple(cell) if cell else ".")
        print(row)
    print()
    disagreements = [c for c in checked if not c[4]]
    per_kind = []
    for verdict in VERDICTS:
        count = sum(1 for c in checked if c[1] == verdict)
        bad = sum(1 for c in disagreements if c[1] == verdict)
        per_kind.append("%s %d/%d" % (VERDICT_NAMES[verdict], count, bad))
    print("total: %d positions checked, %d agreements, %d disagreements; per verdict %s; "
          "%d classes, %.0f s" % (len(checked), len(checked) - len(disagreements),
                                  len(disagreements), ", ".join(per_kind), len(classes), seconds))
    if disagreements:
        print()
        print("disagreements (label verdict score FEN, score in White's view):")
        for number, verdict, fen, score, _agreed, _dead in disagreements:
            print("%s %s %s %s" % (classes[number][0], VERDICT_NAMES[verdict],
                                   format_score(score), fen))
    overruled = [c for c in checked if c[5] and c[4] != agrees(c[1], c[3], args.win, args.loss)]
    if overruled:
        print()
        print("dead positions where stockfish's score would have decided otherwise "
              "(label verdict score FEN):")
        for number, verdict, fen, score, _agreed, _dead in overruled:
            print("%s %s %s %s" % (classes[number][0], VERDICT_NAMES[verdict],
                                   format_score(score), fen))


if __name__ == "__main__":
    sys.exit(main())
