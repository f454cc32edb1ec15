#!/usr/bin/env python3
"""Builds the lab's opening suites with the engine's own searches.

  tools/make_openings.py ENGINE [--count 1000] [--frc 200] [--seed 1]
                         [--out tools/openings.txt] [--frc-out tools/openings_frc.txt]

Orthodox openings: from the start position, each ply plays one of the engine's
best three moves (a depth-6 search each, the second and third with the better
ones left out) that score within 40 cp of the best, to a length of 6 to 10
plies drawn at random; a line is kept when a depth-9 search scores the final
position within 50 cp and its position is new.  Fischerandom: start arrays
drawn by their numbers 0..959 (518, the orthodox array, left out).  Every FEN
is read back by the engine and must give the same legal moves as the line
that led to it.  Same engine, same seed: same files.
"""
import argparse, os, random, shutil, subprocess, sys, tempfile

RANK_DEPTH, KEEP_DEPTH, NEAR, BALANCED = 6, 9, 40, 50


class Engine:
    def __init__(self, path, mode):
        self.proc = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     text=True, bufsize=1, cwd=os.path.dirname(path))
        self.send("uci" if mode == "uci" else "xboard\nprotover 2")
        self.until("uciok" if mode == "uci" else "feature done=1")

    def send(self, text):
        self.proc.stdin.write(text + "\n")

    def until(self, prefix):
        lines = []
        for line in self.proc.stdout:
            lines.append(line.rstrip("\n"))
            if line.startswith(prefix):
                return lines
        sys.exit(f"make_openings.py: the engine stopped before '{prefix}'")

    def legal(self, setup):
        """Legal moves in coordinates, from `divide 1` after the xboard setup lines."""
        self.send("\n".join(setup + ["divide 1"]))
        lines = self.until("perft 1 ")
        if any(line.startswith(("Error", "tellusererror", "Illegal")) for line in lines):
            return None
        return sorted(line.split()[0] for line in lines[:-1] if line.endswith(" 1"))

    def search(self, moves, depth, among):
        """(score for the side to move, best move) of a search restricted to among."""
        self.send("ucinewgame\nposition startpos" + (" moves " + " ".join(moves) if moves else ""))
        self.send(f"go depth {depth} searchmoves {' '.join(among)}")
        exact = bound = None  # the last exact score, else the last bound
        for line in self.until("bestmove"):
            words = line.split()
            if words[:1] == ["info"] and "score" in words:
                kind, value = words[words.index("score") + 1:words.index("score") + 3]
                score = int(value) if kind == "cp" else (30000 if int(value) > 0 else -30000)
                if "upperbound" in words or "lowerbound" in words:
                    bound = score
                else:
                    exact = score
        score = exact if exact is not None else bound
        return 0 if score is None else score, line.split()[1]  # None: one legal move

    def close(self):
        self.send("quit")
        self.proc.wait(10)


def after(moves):
    """FEN of the position the coordinate moves reach from the start; the moves are legal."""
    board = {}
    for f, piece in enumerate("RNBQKBNR"):
        board[(f, 0)], board[(f, 1)] = piece, "P"
        board[(f, 7)], board[(f, 6)] = piece.lower(), "p"
    rights, ep, clock, white = set("KQkq"), None, 0, True
    corner = {(7, 0): "K", (0, 0): "Q", (7, 7): "k", (0, 7): "q"}
    for move in moves:
        frm = (ord(move[0]) - 97, int(move[1]) - 1)
        to = (ord(move[2]) - 97, int(move[3]) - 1)
        piece = board.pop(frm)
        captured = board.pop(to, None)
        clock = 0 if captured or piece in "Pp" else clock + 1
        if piece in "Pp" and to == ep:
            del board[(to[0], frm[1])]
        if piece in "Kk" and abs(to[0] - frm[0]) == 2:
            rook_from, rook_to = ((7, frm[1]), (5, frm[1])) if to[0] == 6 else \
                ((0, frm[1]), (3, frm[1]))
            board[rook_to] = board.pop(rook_from)
        if piece in "Kk":
            rights -= set("KQ" if piece == "K" else "kq")
        rights -= {corner[sq] for sq in (frm, to) if sq in corner}
        if len(move) == 5:
            piece = move[4].upper() if white else move[4]
        board[to] = piece
        ep = None
        if piece in "Pp" and abs(to[1] - frm[1]) == 2:
            enemy = "p" if white else "P"
            if any(board.get((to[0] + d, to[1])) == enemy for d in (-1, 1)):
                ep = (to[0], (to[1] + frm[1]) // 2)
        white = not white
    rows = []
    for rank in range(7, -1, -1):
        row, empty = "", 0
        for f in range(8):
            piece = board.get((f, rank))
            if piece:
                row += (str(empty) if empty else "") + piece
                empty = 0
            else:
                empty += 1
        rows.append(row + (str(empty) if empty else ""))
    castle = "".join(c for c in "KQkq" if c in rights) or "-"
    square = chr(97 + ep[0]) + str(ep[1] + 1) if ep else "-"
    return (f"{'/'.join(rows)} {'w' if white else 'b'} {castle} {square} {clock} "
            f"{len(moves) // 2 + 1}")


def frc_array(number):
    """The back rank of fischerandom start position `number` (0..959)."""
    rank = [None] * 8
    number, light = divmod(number, 4)
    rank[2 * light + 1] = "B"
    number, dark = divmod(number, 4)
    rank[2 * dark] = "B"
    number, queen = divmod(number, 6)
    free = [i for i in range(8) if not rank[i]]
    rank[free[queen]] = "Q"
    knights = [(a, b) for a in range(5) for b in range(a + 1, 5)][number]
    free = [i for i in range(8) if not rank[i]]
    for k in knights:
        rank[free[k]] = "N"
    for i, piece in zip([i for i in range(8) if not rank[i]], "RKR"):
        rank[i] = piece
    return "".join(rank)


def frc_fen(number):
    rank = frc_array(number)
    rooks = [chr(97 + i) for i, p in enumerate(rank) if p == "R"]
    castle = "".join(f.upper() for f in reversed(rooks)) + "".join(reversed(rooks))
    return f"{rank.lower()}/pppppppp/8/8/8/8/PPPPPPPP/{rank} w {castle} - 0 1"


def orthodox(uci, xb, count, rng, log):
    ranked, kept, seen = {}, [], set()
    setup = lambda moves: ["new", "force"] + [f"usermove {m}" for m in moves]
    tries = 0
    while len(kept) < count:
        tries += 1
        length, moves = rng.randint(6, 10), []
        while len(moves) < length:
            key = tuple(moves)
            if key not in ranked:
                legal = xb.legal(setup(moves))
                best = []
                while legal and len(best) < 3 and len(best) < len(legal):
                    among = [m for m in legal if m not in [b for _, b in best]]
                    best.append(uci.search(moves, RANK_DEPTH, among))
                ranked[key] = [m for s, m in best if s >= best[0][0] - NEAR] if best else []
            if not ranked[key]:
                break  # mate or stalemate: start again
            moves.append(rng.choice(ranked[key]))
        if len(moves) < length:
            continue
        fen = after(moves)
        position = " ".join(fen.split()[:4])
        if position in seen:
            continue
        legal = xb.legal(setup(moves))
        score, _ = uci.search(moves, KEEP_DEPTH, legal)
        if abs(score) > BALANCED:
            continue
        if xb.legal(["new", "force", f"setboard {fen}"]) != legal:
            sys.exit(f"make_openings.py: FEN {fen} does not match its line {' '.join(moves)}")
        seen.add(position)
        kept.append(fen)
        if len(kept) % 100 == 0:
            print(f"{log}: {len(kept)} openings kept of {tries} lines", flush=True)
    return kept, tries


def main(argv):
    p = argparse.ArgumentParser(description=__doc__,
                                formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("engine")
    p.add_argument("--count", type=int, default=1000)
    p.add_argument("--frc", type=int, default=200)
    p.add_argument("--seed", type=int, default=1)
    here = os.path.dirname(os.path.abspath(__file__))
    p.add_argument("--out", default=os.path.join(here, "openings.txt"))
    p.add_argument("--frc-out", default=os.path.join(here, "openings_frc.txt"))
    args = p.parse_args(argv)
    rng = random.Random(args.seed)
    with tempfile.TemporaryDirectory(prefix="openings-") as tmp:
        # A copy with an empty book that learns nothing: its searches alone choose.
        engine = shutil.copy2(args.engine, tmp)
        with open(os.path.join(tmp, "vostrel.ini"), "w") as f:
            f.write("- book_allowed = no\n- book_learning = no\n")
        uci, xb = Engine(engine, "uci"), Engine(engine, "xboard")
        kept, tries = orthodox(uci, xb, args.count, rng, "orthodox")
        numbers = rng.sample([n for n in range(960) if n != 518], args.frc)
        frc = [frc_fen(n) for n in numbers]
        xb.send("variant fischerandom")
        for fen in frc:
            if not xb.legal(["new", "variant fischerandom", "force", f"setboard {fen}"]):
                sys.exit(f"make_openings.py: the engine rejects {fen}")
        uci.close()
        xb.close()
    command = f"tools/make_openings.py ENGINE --count {args.count} --frc {args.frc} " \
              f"--seed {args.seed}"
    with open(args.out, "w") as f:
        f.write(f"# {len(kept)} balanced openings of 6 to 10 plies, kept from {tries} lines:\n"
                f"# best three moves at depth {RANK_DEPTH} within {NEAR} cp, depth {KEEP_DEPTH} "
                f"score within {BALANCED} cp.\n# Rebuilt by: {command}\n")
        f.write("".join(fen + "\n" for fen in kept))
    with open(args.frc_out, "w") as f:
        f.write(f"# {len(frc)} fischerandom start positions, rook files as castling letters.\n"
                f"# Rebuilt by: {command}\n")
        f.write("".join(fen + "\n" for fen in frc))
    print(f"{len(kept)} openings ({tries} lines tried), {len(frc)} fischerandom positions")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
