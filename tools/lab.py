#!/usr/bin/env python3
"""The strength lab: a candidate build against a base build (or a Debian engine)
under xboard, with the result in Elo and a sequential probability ratio test.

  tools/lab.py CANDIDATE (--base BASE | --opponent PATH [--opponent-uci])
               [--games 2000] [--tc 0:10] [--inc 0.1] [--concurrency N]
               [--openings FILE] [--fischerandom] [--chunk 5] [--depth D] [--memory 16] [--cores 1]
               [--candidate-ini LINE ...] [--base-ini LINE ...]
               [--elo0 0] [--elo1 10] [--alpha 0.05] [--beta 0.05] [--no-stop]
               [--no-adjudication] [--seed 1] [--skip 0] [--out lab-out]

Every opening is played twice, colours swapped (xboard's -lpf with -lpi -2);
the openings are shuffled by the seed, the first --skip of them left out (to
go on with a match begun in another run: same seed, skip the openings it
played, add the two runs' "pairs" counts for the whole), and the rest handed
out in chunks of --chunk to --concurrency xboard matches at once (one per core
by default).  Each match plays copies of the programs in OUT/slotK/, beside a
vostrel.ini that fixes the hash size, keeps the book out and adds the
--candidate-ini / --base-ini lines (a deliberate weakness, say
"search_prune_nullmove = no").  Pondering is off.

A line after every chunk and at the end: wins, draws and losses of the
candidate, its score, the Elo difference with its 95 % interval computed from
the game pairs (pentanomial), and the log-likelihood ratio of H1 (elo1) against
H0 (elo0).  The run stops when the ratio crosses a bound (unless --no-stop) or
at the game limit.  xboard adjudicates a game as won when both programs score
it beyond 10 pawns for 6 plies, and says so in the PGN.

Kept in OUT: games.pgn (every game), games.txt (one game a line,
"RESULT | FEN | coordinate moves", the tuner's input) and each match's own
directory with xboard's debug log.  Any illegal move, time forfeit, crash, hang
or false claim of either program fails the run (exit status 1) and is named
with its game.  Needs: xboard, xvfb (and polyglot for --opponent-uci).
"""
import argparse, math, os, random, re, shutil, sys, threading, time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import match  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
Z95 = 1.959963985  # two-sided 95 % quantile of the normal distribution
LOSS_THRESHOLD = -1000  # centipawns: both programs agree for 6 plies


def elo_of(score):
    """Logistic Elo difference of an expected score; infinite at 0 and 1."""
    if score <= 0.0:
        return -math.inf
    if score >= 1.0:
        return math.inf
    return -400.0 * math.log10(1.0 / score - 1.0)


def score_of(elo):
    return 1.0 / (1.0 + 10.0 ** (-elo / 400.0))


def pentanomial(pair_points):
    """Counts of game pairs that brought the candidate 0, 0.5, 1, 1.5 and 2 points."""
    counts = [0] * 5
    for points in pair_points:
        counts[round(points * 2)] += 1
    return counts


def pair_stats(counts):
    """Mean and variance of a pair's score (its points / 2) over the pairs."""
    n = sum(counts)
    if n == 0:
        return 0, 0.5, 0.0
    mean = sum(c * i / 4 for i, c in enumerate(counts)) / n
    var = sum(c * (i / 4 - mean) ** 2 for i, c in enumerate(counts)) / n
    return n, mean, var


def elo_interval(counts):
    """(Elo, low, high) of the 95 % interval of the mean pair score."""
    n, mean, var = pair_stats(counts)
    half = Z95 * math.sqrt(var / n) if n else math.inf
    return elo_of(mean), elo_of(mean - half), elo_of(mean + half)


def llr(counts, elo0, elo1):
    """Log-likelihood ratio of H1 against H0 in the normal approximation of the
    pair score; 0 while the pairs show no spread to measure it by."""
    n, mean, var = pair_stats(counts)
    if n == 0 or var == 0.0:
        return 0.0
    s0, s1 = score_of(elo0), score_of(elo1)
    return n * (s1 - s0) * (2 * mean - s0 - s1) / (2 * var)


def sprt_bounds(alpha, beta):
    return math.log(beta / (1 - alpha)), math.log((1 - beta) / alpha)


def summary(pairs, elo0, elo1, bounds):
    games = [s for pair in pairs for s in pair]
    w, l = games.count(1.0), games.count(0.0)
    counts = pentanomial(sum(p) for p in pairs)
    elo, low, high = elo_interval(counts)
    return (f"games {len(games)} +{w} ={len(games) - w - l} -{l} "
            f"score {sum(games) / max(len(games), 1):.3f} "
            f"elo {elo:+.1f} [{low:+.1f}, {high:+.1f}] "
            f"pairs {'/'.join(map(str, counts))} "
            f"LLR {llr(counts, elo0, elo1):+.2f} [{bounds[0]:.2f}, {bounds[1]:.2f}] "
            f"for elo [{elo0:g}, {elo1:g}]")


def read_openings(path):
    with open(path) as f:
        return [line.strip() for line in f if line.strip() and not line.startswith("#")]


def debug_games(path):
    """(start FEN or None, coordinate moves, result) of each game the first
    engine was told about, in order, from xboard's debug log."""
    games, fen, moves = [], None, []
    for line in match.read(path).splitlines():
        m = re.match(r"\d+ ([<>])first : ", line)
        if not m:
            continue
        # A line xboard wrote in pieces is logged in pieces, each with its prefix.
        way, text = m.group(1), "".join(re.split(r"\d+ [<>]first : ", line)).strip()
        if way == ">" and text == "new":
            fen, moves = None, []
        elif way == ">" and text.startswith("setboard "):
            fen, moves = text[9:], []
        elif way == ">" and text.startswith("usermove "):
            moves.append(text.split()[1])
        elif way == "<" and text.startswith("move "):
            moves.append(text.split()[1])
        elif way == ">" and text.startswith("result "):
            games.append((fen, moves, text.split()[1]))
            fen, moves = None, []
    return games


def prepare(slot_dir, role, program, ini_lines, memory):
    """A copy of the program in its own directory, with the lab's settings."""
    directory = os.path.join(slot_dir, role)
    os.makedirs(directory, exist_ok=True)
    copy = shutil.copy2(program, directory)
    lines = [f"memory = {memory}", "book_allowed = no", "book_learning = no"] + ini_lines
    with open(os.path.join(directory, "vostrel.ini"), "w") as f:
        # Only lines after a dash and a blank are settings.
        f.write("".join(("" if line.startswith("- ") else "- ") + line + "\n" for line in lines))
    return os.path.abspath(copy)


class Lab:
    def __init__(self, args, chunks):
        self.args, self.chunks = args, chunks
        self.lock = threading.Lock()
        self.next_chunk, self.pairs, self.failure, self.stop = 0, [], None, None
        self.bounds = sprt_bounds(args.alpha, args.beta)
        self.started = time.monotonic()

    def take(self):
        with self.lock:
            if self.failure or self.stop or self.next_chunk >= len(self.chunks):
                return None
            self.next_chunk += 1
            return self.next_chunk - 1

    def slot(self, k, programs):
        args = self.args
        tc_args, move_max, game_max = match.time_control(args)
        game_max += 60
        # Animation and flashing cost xboard tens of milliseconds a move.
        extra = ["-matchPause", "200", "-lpi", "-2", "-animateMoving", "false", "-flashCount", "0"]
        # xboard tells both engines their memory and cores before every game;
        # a search_threads line in a side's ini may keep that side below it.
        extra += ["-defaultHashSize", str(args.memory), "-defaultCacheSizeEGTB", "0",
                  "-smpCores", str(args.cores)]
        if args.depth:
            extra += ["-searchDepth", str(args.depth)]
        if not args.no_adjudication:
            extra += ["-adjudicateLossThreshold", str(LOSS_THRESHOLD), "-firstScoreAbs", "true"]
            if not args.opponent:
                extra += ["-secondScoreAbs", "true"]
        while (index := self.take()) is not None:
            run = os.path.join(args.out, f"slot{k}", f"run{index:04d}")
            os.makedirs(run, exist_ok=True)
            fens = os.path.join(run, "openings.fen")
            with open(fens, "w") as f:
                f.write("".join(fen + "\n" for fen in self.chunks[index]))
            planned = 2 * len(self.chunks[index])
            s = match.run_match(programs[0], "candidate", programs[1], "base", planned,
                                tc_args, min(move_max + 30, game_max), game_max, run,
                                variant="fischerandom" if args.fischerandom else None,
                                extra=extra + ["-lpf", os.path.abspath(fens)])
            self.finish(run, s, planned)

    def finish(self, run, s, planned):
        games = s["games"]
        trouble = [f"game {n} ({'candidate' if white else 'base'} white) {res} {{{text}}}: "
                   f"{match.LABELS[kind]} by {'candidate' if who == 'engine' else 'base'}"
                   for n, white, res, _, text, kind, who in games if kind]
        for who, name in (("engine", "candidate"), ("opponent", "base")):
            if s[who]["crashes"] and not any(name in t for t in trouble):
                trouble.append(f"{name} crashed (see engine-exits.log)")
        if s["hang"]:
            trouble.append(f"xboard stopped: {s['hang']}")
        if len(games) < planned:
            trouble.append(f"only {len(games)} of {planned} games finished")
        with self.lock:
            with open(os.path.join(self.args.out, "games.pgn"), "a") as f:
                f.write(match.read(os.path.join(run, "games.pgn")))
            with open(os.path.join(self.args.out, "games.txt"), "a") as f:
                for fen, moves, result in debug_games(os.path.join(run, "xboard.debug")):
                    if moves and result in ("1-0", "0-1", "1/2-1/2"):
                        f.write(f"{result} | {fen or 'startpos'} | {' '.join(moves)}\n")
            if trouble:
                self.failure = self.failure or f"{run}: " + "; ".join(trouble)
                return
            scores = [g[3] for g in games]
            self.pairs += [scores[i:i + 2] for i in range(0, len(scores) - 1, 2)]
            line = summary(self.pairs, self.args.elo0, self.args.elo1, self.bounds)
            hours = (time.monotonic() - self.started) / 3600
            print(f"{line}  ({2 * len(self.pairs) / hours:.0f} games/hour)", flush=True)
            value = llr(pentanomial(sum(p) for p in self.pairs), self.args.elo0, self.args.elo1)
            if not self.args.no_stop and not self.bounds[0] < value < self.bounds[1]:
                h, bound = ("H0", "lower") if value <= self.bounds[0] else ("H1", "upper")
                self.stop = f"{h} accepted: LLR {value:+.2f} at the {bound} bound after " \
                            f"{2 * len(self.pairs)} games"
            elif 2 * len(self.pairs) >= self.args.games:
                self.stop = f"game limit {self.args.games} reached"


def programs_for(args, slot_dir):
    candidate = [prepare(slot_dir, "candidate", args.candidate, args.candidate_ini, args.memory)]
    if args.base:
        return candidate, [prepare(slot_dir, "base", args.base, args.base_ini, args.memory)]
    opponent = [os.path.abspath(args.opponent)]
    if args.opponent_uci:
        directory = os.path.join(slot_dir, "base")
        os.makedirs(directory, exist_ok=True)
        opponent = [match.find("polyglot"), match.polyglot_ini(opponent, directory, False)]
    return candidate, opponent


def parse(argv):
    p = argparse.ArgumentParser(description=__doc__,
                                formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("candidate")
    which = p.add_mutually_exclusive_group(required=True)
    which.add_argument("--base", help="a vostrel build to compare against")
    which.add_argument("--opponent", help="another engine (xboard, or UCI with --opponent-uci)")
    p.add_argument("--opponent-uci", action="store_true")
    p.add_argument("--games", type=int, default=2000, help="game limit")
    p.add_argument("--tc", default="0:10", help="MINUTES or M:SS, or MOVES/MINUTES")
    p.add_argument("--inc", type=float, default=0.1, help="seconds added per move")
    p.add_argument("--concurrency", type=int, default=os.cpu_count() or 1)
    p.add_argument("--openings", help="FEN file (default tools/openings.txt)")
    p.add_argument("--fischerandom", action="store_true",
                   help="play fischerandom from tools/openings_frc.txt")
    p.add_argument("--chunk", type=int, default=5, help="openings per xboard match")
    p.add_argument("--depth", type=int, help="depth limit beside the clock (xboard -searchDepth)")
    p.add_argument("--memory", type=int, default=16, help="hash size in MB")
    p.add_argument("--cores", type=int, default=1,
                   help="threads xboard allows each engine (its cores command)")
    p.add_argument("--candidate-ini", action="append", default=[], metavar="LINE")
    p.add_argument("--base-ini", action="append", default=[], metavar="LINE")
    p.add_argument("--elo0", type=float, default=0.0)
    p.add_argument("--elo1", type=float, default=10.0)
    p.add_argument("--alpha", type=float, default=0.05)
    p.add_argument("--beta", type=float, default=0.05)
    p.add_argument("--no-stop", action="store_true", help="play to the game limit")
    p.add_argument("--no-adjudication", action="store_true")
    p.add_argument("--seed", type=int, default=1, help="order of the openings")
    p.add_argument("--skip", type=int, default=0, help="shuffled openings to leave out")
    p.add_argument("--out", default="lab-out")
    args = p.parse_args(argv)
    args.st = None  # for match.time_control
    if "/" in args.tc:
        args.inc = None
    return args


def main(argv):
    args = parse(argv)
    for prog in (args.candidate, args.base or args.opponent):
        if not os.access(prog, os.X_OK):
            print(f"lab.py: {prog} is not an executable", file=sys.stderr)
            return 2
    if args.opponent and (args.base_ini or os.path.samefile(args.candidate, args.opponent)):
        print("lab.py: --base-ini needs --base; a build against itself needs --base",
              file=sys.stderr)
        return 2
    try:
        match.time_control(args)
    except ValueError as e:
        print(f"lab.py: bad time control: {e}", file=sys.stderr)
        return 2
    default = "openings_frc.txt" if args.fischerandom else "openings.txt"
    openings = read_openings(args.openings or os.path.join(HERE, default))
    random.Random(args.seed).shuffle(openings)
    openings = openings[max(args.skip, 0):][:(args.games + 1) // 2]
    if not openings or args.chunk < 1 or args.concurrency < 1:
        print("lab.py: need openings, a chunk and a concurrency of at least 1", file=sys.stderr)
        return 2
    if os.path.exists(args.out):
        shutil.rmtree(args.out)
    os.makedirs(args.out)
    chunks = [openings[i:i + args.chunk] for i in range(0, len(openings), args.chunk)]
    lab = Lab(args, chunks)
    print(f"lab: {len(openings)} openings, {len(chunks)} matches of up to {2 * args.chunk} "
          f"games, {args.concurrency} at a time, tc {args.tc}"
          f"{f'+{args.inc:g}' if args.inc else ''}, hash {args.memory} MB", flush=True)
    threads = []
    for k in range(min(args.concurrency, len(chunks))):
        programs = programs_for(args, os.path.join(args.out, f"slot{k}"))
        threads.append(threading.Thread(target=lab.slot, args=(k, programs)))
        threads[-1].start()
    for t in threads:
        t.join()
    hours = (time.monotonic() - lab.started) / 3600
    print(f"final: {summary(lab.pairs, args.elo0, args.elo1, lab.bounds)}  "
          f"({2 * len(lab.pairs) / hours:.0f} games/hour, {hours * 60:.1f} min)")
    if lab.failure:
        print(f"FAILED: {lab.failure}")
        return 1
    print(lab.stop or "all openings played")
    print("illegal moves, forfeits, crashes, hangs, false claims: 0")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
