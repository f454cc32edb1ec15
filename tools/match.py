#!/usr/bin/env python3
"""Engine-versus-engine games under the real xboard GUI (match mode, on Xvfb).

  tools/match.py ENGINE [-g GAMES] [--tc 40/1 | --tc 1 [--inc 2] | --st 1]
                 [--ponder] [--fischerandom] [--opponent PATH] [--out DIR] [--runner CMD]
                 [--uci] [--opponent-uci] [--check-learning]
                 [--hang-timeout SECONDS] [--strict] [--xboard-arg=-OPTION ...]
  tools/match.py --self-test

--tc takes xboard's units: MOVES/MINUTES, or MINUTES alone for sudden death
(MINUTES may be M, M:SS or a decimal); --inc and --st are in seconds.
The opponent defaults to /usr/games/fairymax; ENGINE plays first and colours
alternate.  --runner starts ENGINE through another program, e.g. `--runner wine`
for a Windows build (its standard input is then still xboard's Linux pipe).
--uci plays ENGINE in UCI mode through polyglot (Debian package polyglot), which
turns xboard's protocol into UCI; --opponent-uci does the same for a UCI
opponent (glaurung, toga2).  --check-learning fails unless the last game
reached the engine's book (xboard only: UCI never tells the result).  DIR receives games.pgn, xboard.debug (all protocol traffic),
xboard.out, engine-exits.log, engine-memory.log (peak memory per engine run) and
xvfb.log.
Exit status: 0 only if every game finished and ENGINE made no illegal move,
false claim or time forfeit, never crashed, and nothing hung; 1 otherwise,
2 for bad usage.  The opponent's failures are reported, and fail only with
--strict.
--self-test proves each failure is detected, using fake engines played by
this script itself.  Needs: xboard, xvfb, fairymax (Debian packages).
"""
import argparse, math, os, re, resource, select, shutil, signal, subprocess, sys, tempfile, time

HERE = os.path.abspath(__file__)
FAIRYMAX = "/usr/games/fairymax"
RESULT_RE = re.compile(r"^\d+ >(?:first |second): result (\S+)(?: \{(.*)\})?")
LABELS = {"illegal": "illegal move", "forfeits": "time forfeit", "crashes": "crash",
          "claims": "false claim"}
# xboard's errors after which it waits for a click that never comes.
STUCK_RE = re.compile(r".*(does not play this|Failed to start).*")
MAX_MOVES = 200  # per side, to bound how long a legitimate game can last


def find(prog):
    path = shutil.which(prog, path=os.environ.get("PATH", "") + ":/usr/games")
    if not path:
        sys.exit(f"match.py: {prog} not found (apt-get install xboard xvfb fairymax)")
    return path


def minutes_arg(text):
    """xboard reads minutes[:seconds]; '0.5' would become 0, so give M:SS."""
    if ":" in text:
        m, s = text.split(":")
        secs = int(m) * 60 + int(s)
    else:
        secs = round(float(text) * 60)
    if secs <= 0:
        raise ValueError(text)
    return secs, f"{secs // 60}:{secs % 60:02d}"


def time_control(args):
    """xboard options, the longest one move may take, the longest a game may take."""
    if args.st is not None:
        if args.tc or args.inc is not None:
            raise ValueError("--st excludes --tc and --inc")
        st = int(args.st)
        if st < 1:
            raise ValueError("--st must be at least 1")
        return ["-st", f"{st // 60}:{st % 60:02d}"], st, 2 * MAX_MOVES * (st + 0.3)
    mps, _, base = (args.tc or "40/1").rpartition("/")
    secs, mins = minutes_arg(base)
    if mps:
        if args.inc is not None:
            raise ValueError("--inc excludes MOVES/ in --tc")
        side = secs * math.ceil(MAX_MOVES / int(mps))
        return ["-mps", mps, "-tc", mins], side, 2 * side
    inc = args.inc or 0.0
    side = secs + MAX_MOVES * inc
    return ["-tc", mins, "-inc", f"{inc:g}"], side, 2 * side


def start_xvfb(out):
    """Xvfb picks a free display itself and tells its number through a pipe."""
    rfd, wfd = os.pipe()
    log = open(os.path.join(out, "xvfb.log"), "wb")
    proc = subprocess.Popen([find("Xvfb"), "-displayfd", str(wfd), "-nolisten", "tcp",
                             "-screen", "0", "1280x1024x24"], pass_fds=(wfd,),
                            stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                            start_new_session=True)
    os.close(wfd)
    log.close()
    with os.fdopen(rfd) as r:
        display = r.readline().strip() if select.select([r], [], [], 30)[0] else ""
    if not display:
        kill_group(proc, 1)
        sys.exit("match.py: Xvfb did not start, see xvfb.log")
    return proc, ":" + display


def kill_group(proc, grace):
    """Ends a process and whatever it left in its group (xboard's engines)."""
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(proc.pid, sig)
        except ProcessLookupError:
            return
        try:
            proc.wait(grace)
        except subprocess.TimeoutExpired:
            pass


def command(argv, role, out):
    """The xboard -fcp string: the engine under a wrapper that logs abnormal exits.
    xboard splits it at spaces, so no path in it may contain one."""
    parts = [sys.executable, HERE, "--wrap", os.path.join(out, "engine-exits.log"), role] + argv
    if any(not p or re.search(r"\s", p) for p in parts):
        sys.exit(f"match.py: paths must not contain spaces: {' '.join(parts)}")
    return " ".join(parts)


def run_match(engine, name, opponent, opp_name, games, tc_args, idle_max, game_max,
              out, ponder=False, variant=None, extra=()):
    os.makedirs(out, exist_ok=True)
    out = os.path.abspath(out)
    for f in ("games.pgn", "xboard.debug", "xboard.out", "engine-exits.log", "engine-memory.log"):
        if os.path.exists(os.path.join(out, f)):
            os.remove(os.path.join(out, f))
    home = os.path.join(out, "home")  # keeps ~/.xboardrc out of the way
    os.makedirs(home, exist_ok=True)
    xvfb, display = start_xvfb(out)
    cmd = [find("xboard"), "-fcp", command(engine, "engine", out), "-fn", name,
           "-fd", os.path.dirname(os.path.abspath(engine[-1])),
           "-scp", command(opponent, "opponent", out), "-sn", opp_name,
           "-sd", os.path.dirname(os.path.abspath(opponent[-1])),
           "-mg", str(games), *tc_args, "-ponder" if ponder else "-xponder",
           "-sgf", os.path.join(out, "games.pgn"),
           "-debug", "-nameOfDebugFile", os.path.join(out, "xboard.debug"),
           "-autoCallFlag", "true", "-popupExitMessage", "false",
           "-popupMoveErrors", "false", "-saveSettingsOnExit", "false",
           "-matchPause", "1000", "-soundMove", "", "-soundProgram", ""]
    if variant:
        cmd += ["-variant", variant]
    cmd += list(extra)
    env = dict(os.environ, DISPLAY=display, HOME=home)
    xb = None
    try:
        with open(os.path.join(out, "xboard.out"), "wb") as xout:
            xb = subprocess.Popen(cmd, cwd=out, env=env, stdin=subprocess.DEVNULL,
                                  stdout=xout, stderr=subprocess.STDOUT,
                                  start_new_session=True)
            hang = watch(xb, out, idle_max, game_max)
    finally:
        if xb:
            kill_group(xb, 3)
        kill_group(xvfb, 3)
    return collect(out, name, opp_name, games, hang)


def watch(xb, out, idle_max, game_max):
    """Wait for xboard; a hang is no debug output for longer than any one move may
    take, a game outlasting its time control, or an error xboard would wait on
    forever for someone to click away.  Returns what hung, or None."""
    pos, last_out = 0, time.monotonic()
    game_start = last_out
    while xb.poll() is None:
        time.sleep(0.5)
        now = time.monotonic()
        stuck = STUCK_RE.search(read(os.path.join(out, "xboard.out")))
        if stuck:
            return stuck.group(0)
        try:
            with open(os.path.join(out, "xboard.debug"), "rb") as f:
                f.seek(pos)
                new = f.read()
        except FileNotFoundError:
            new = b""
        if new:
            pos += len(new)
            last_out = now
            if b": result " in new:
                game_start = now
        if now - last_out > idle_max:
            return f"no output for {idle_max:.0f} s"
        if now - game_start > game_max:
            return f"game not over after {game_max:.0f} s"
    return None


def read(path):
    try:
        with open(path, errors="replace") as f:
            return f.read()
    except FileNotFoundError:
        return ""


def collect(out, name, opp_name, games, hang):
    # Every decided game leaves a result line to the engines in the debug log,
    # even games with no moves, which xboard does not save to the PGN.
    results, taken = [], False
    for line in read(os.path.join(out, "xboard.debug")).splitlines():
        if line.startswith("GameEnds(0, (null)"):
            taken = False  # a new game is being set up
        m = RESULT_RE.match(line)
        if m and not taken:
            results.append((m.group(1), m.group(2) or ""))
            taken = True
    white = {}
    for pgn in read(os.path.join(out, "games.pgn")).split("[Event ")[1:]:
        tags = dict(re.findall(r'^\[(\w+) "(.*)"\]', pgn, re.M))
        if tags.get("Round", "").isdigit():
            white[int(tags["Round"])] = tags.get("White") == name
    s = {"games": [], "hang": hang, "planned": games, "name": name, "opp": opp_name,
         "engine": dict.fromkeys(("illegal", "forfeits", "crashes", "claims"), 0)}
    s["opponent"] = dict(s["engine"])
    for n, (res, text) in enumerate(results, 1):
        ours_white = white.get(n, n % 2 == 1)
        score = {"1-0": 1.0, "0-1": 0.0}.get(res, 0.5)
        score = score if ours_white else 1 - score
        kind, who = classify(text, score)
        if kind:
            s[who][kind] += 1
        s["games"].append((n, ours_white, res, score, text, kind, who))
    # Crashes from the wrapper; a crash may also have ended one game visibly.
    for who in ("engine", "opponent"):
        deaths = sum(line.split()[0] == who for line in
                     read(os.path.join(out, "engine-exits.log")).splitlines() if line.strip())
        s[who]["crashes"] = max(s[who]["crashes"], deaths)
    peaks = [int(line.split()[1]) for line in
             read(os.path.join(out, "engine-memory.log")).splitlines()
             if line.startswith("engine ")]
    s["memory_kb"] = max(peaks, default=0)
    return s


def classify(text, score):
    """Failure kind in xboard's result text, and who caused it: the loser, or the
    program xboard names."""
    m = re.search(r"\b(first|second) chess program", text)
    if m:
        return "crashes", "engine" if m.group(1) == "first" else "opponent"
    low = text.lower()
    kind = ("illegal" if "illegal" in low or "invalid move" in low else
            "forfeits" if "on time" in low else
            "claims" if "false" in low and "claim" in low else None)
    if not kind or score == 0.5:
        return None, None
    return kind, "engine" if score == 0.0 else "opponent"


def report(s, strict=False):
    name, opp = s["name"], s["opp"]
    for n, ours_white, res, score, text, kind, who in s["games"]:
        pair = f"{name} - {opp}" if ours_white else f"{opp} - {name}"
        what = {1.0: "win", 0.0: "loss"}.get(score, "draw")
        blame = f"  [{LABELS[kind]} by {name if who == 'engine' else opp}]" if kind else ""
        print(f"game {n:3} {pair:30} {res:7} {what:4}  {{{text}}}{blame}")
    w = sum(g[3] == 1.0 for g in s["games"])
    l = sum(g[3] == 0.0 for g in s["games"])
    played = len(s["games"])
    e, o = s["engine"], s["opponent"]
    if s["hang"]:
        print(f"xboard stopped: {s['hang']}")
    if played < s["planned"]:
        print(f"only {played} of {s['planned']} games finished")
    if any(o.values()):
        print(f"{opp}: " + " ".join(f"{k} {v}" for k, v in o.items()))
    print(f"games {played} {name} +{w} ={played - w - l} -{l} "
          f"score {sum(g[3] for g in s['games']):.1f}/{played} illegal {e['illegal']} "
          f"forfeits {e['forfeits']} crashes {e['crashes']} hangs {int(bool(s['hang']))} "
          f"claims {e['claims']}")
    if s.get("memory_kb"):
        print(f"memory: {name} peak {s['memory_kb'] / 1024:.1f} MB")
    ok = not s["hang"] and played == s["planned"] and not any(e.values())
    ok = ok and not (strict and any(o.values()))
    return 0 if ok else 1


def last_game_moves(debug):
    """The moves of the last game as xboard sent and received them from the
    first engine, in coordinates."""
    moves = []
    for line in read(debug).splitlines():
        if re.match(r'\d+ >first : ', line):
            # A line xboard wrote in pieces (as under wine) is logged in pieces.
            sent = "".join(re.split(r'\d+ >first : ', line)).strip()
            if sent == "new":
                moves = []
            m = re.match(r'usermove (\S+)$', sent)
            if m:
                moves.append(m.group(1))
        m = re.match(r'\d+ <first : move (\S+)', line)
        if m:
            moves.append(m.group(1))
    return moves


def check_learning(out, engine):
    """The position before the last game's last move is in the main book with
    one more game, and the opponent's book holds as many positions."""
    moves = last_game_moves(os.path.join(out, "xboard.debug"))
    if len(moves) < 2:
        return "the last game has no moves"
    commands = ["new", "force"] + [f"usermove {m}" for m in moves[:-1]] + ["bk", "quit"]
    done = subprocess.run(engine, input="\n".join(commands) + "\n", capture_output=True,
                          text=True, timeout=60)
    counts = re.findall(r"^ W (\d+), D (\d+), B (\d+)$", done.stdout, re.MULTILINE)
    if not counts or sum(map(int, counts[-1])) < 1:
        return f"the last game's position is not in the book: {done.stdout.strip()[-200:]}"
    directory = os.path.dirname(engine[-1])
    books = [f for f in os.listdir(directory) if f.endswith(".bk")]
    if "vostrel.bk" not in books or len(books) < 2:
        return f"book files: {books}"
    return None


def polyglot_ini(command, directory, ponder):
    """A polyglot configuration that runs the engine command in UCI mode."""
    path = os.path.abspath(os.path.join(directory, "polyglot.ini"))
    with open(path, "w") as f:
        f.write("[PolyGlot]\n"
                f"EngineCommand = {' '.join(command)}\n"
                f"EngineDir = {os.path.abspath(directory)}\n"
                "Book = false\n"
                "Log = false\n"
                "Resign = false\n"
                "[Engine]\n"
                f"Ponder = {'true' if ponder else 'false'}\n")
    return path


def wrap(log, role, argv):
    """Runs the engine on xboard's own pipes and logs it if it dies on its own."""
    stopping, child = False, None

    def forward(sig, _frame):
        nonlocal stopping
        stopping = stopping or sig != signal.SIGINT  # xboard interrupts with SIGINT
        if child:
            child.send_signal(sig)
    for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        if signal.getsignal(sig) != signal.SIG_IGN:  # keep what xboard ignores ignored
            signal.signal(sig, forward)
    try:
        child = subprocess.Popen(argv)
        rc = child.wait()
        how = f"signal {signal.Signals(-rc).name}" if rc < 0 else f"exit status {rc}"
        # The peak resident memory of the engine (through polyglot: of the
        # larger of polyglot and the engine, if polyglot waited for it).
        peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
        with open(os.path.join(os.path.dirname(log), "engine-memory.log"), "a") as f:
            f.write(f"{role} {peak}\n")
    except OSError as e:
        rc, how = 127, f"cannot start: {e}"
    # Being terminated is no crash; SIGTERM may reach the engine before us.
    if rc and not stopping and rc not in (-signal.SIGTERM, -signal.SIGHUP):
        with open(log, "a") as f:
            f.write(f"{role} {time.strftime('%H:%M:%S')} {' '.join(argv)}: {how}\n")
    return rc if rc >= 0 else 128 - rc


def fake_engine(kind):
    """A bad engine, whose first move shows its fault."""
    def say(text):
        sys.stdout.write(text + "\n")
        sys.stdout.flush()
    white, force = True, False  # whether White is to move; whether not to play
    for line in sys.stdin:
        cmd = line.split() or [""]
        if cmd[0] == "protover":
            say(f'feature ping=1 usermove=1 sigint=0 sigterm=0 myname="fake-{kind}" done=1')
        elif cmd[0] == "ping" and kind != "hang":  # xboard waits for pong forever
            say("pong " + cmd[1])
        elif cmd[0] == "new":
            white, force = True, False
        elif cmd[0] == "force":
            force = True
        elif cmd[0] == "quit":
            return 0
        elif cmd[0] == "usermove":
            white = not white
        if cmd[0] == "go" or (cmd[0] == "usermove" and not force):
            force = False
            if kind == "crash":
                return 3
            if kind == "claim":
                say("1-0 {White mates}" if white else "0-1 {Black mates}")
                continue
            if kind == "slow":
                time.sleep(6)
            say(("move e2e5" if white else "move e7e4") if kind == "illegal" else
                ("move g1f3" if white else "move g8f6"))
            white = not white
    return 0


def self_test():
    cases = [  # fake engine, time control, hang timeout, the counter that must show it
        ("illegal", ["--tc", "0:10"], None, "illegal"),
        ("slow", ["--tc", "0:03"], None, "forfeits"),
        ("crash", ["--tc", "0:03"], None, "crashes"),
        ("claim", ["--tc", "0:10"], None, "claims"),
        ("hang", ["--tc", "0:10"], 20, "hangs"),
        (None, ["--tc", "0:10", "--inc", "0.1"], None, None),
    ]
    failed = 0
    with tempfile.TemporaryDirectory(prefix="match-selftest-") as tmp:
        for kind, tc, hang_timeout, expect in cases:
            label = kind or "fairymax (clean game)"
            print(f"--- self-test: {label}", flush=True)
            args = parse([FAIRYMAX, "-g", "1", *tc, "--out", os.path.join(tmp, kind or "clean")]
                         + (["--hang-timeout", str(hang_timeout)] if hang_timeout else []))
            engine = [sys.executable, HERE, "--fake-engine", kind] if kind else [FAIRYMAX]
            s = run_match(engine, f"fake-{kind}" if kind else "fairymax", [FAIRYMAX],
                          "opponent", 1, *limits(args), args.out)
            rc = report(s)
            counts = dict(s["engine"], hangs=int(bool(s["hang"])))
            good = (rc == 0 and not any(counts.values())) if expect is None else \
                (rc == 1 and counts[expect] >= 1)
            verdict = "FAILED" if not good else "detected as expected" if expect else "ok"
            print(f"--- {label}: {verdict}")
            failed += not good
    print(f"{len(cases) - failed} passed, {failed} failed")
    return 1 if failed else 0


def limits(args):
    """xboard's time options; how long xboard may stay silent, and a game may last."""
    tc_args, move_max, game_max = time_control(args)
    game_max = args.hang_timeout or game_max + 60
    return tc_args, min(move_max + 30, game_max), game_max


def parse(argv):
    p = argparse.ArgumentParser(description=__doc__,
                                formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("engine", nargs="?")
    p.add_argument("-g", "--games", type=int, default=2)
    p.add_argument("--tc", help="MOVES/MINUTES or MINUTES (sudden death)")
    p.add_argument("--inc", type=float, help="seconds added per move")
    p.add_argument("--st", type=int, help="seconds per move")
    p.add_argument("--ponder", action="store_true")
    p.add_argument("--fischerandom", action="store_true")
    p.add_argument("--opponent", default=FAIRYMAX)
    p.add_argument("--out", default="match-out")
    p.add_argument("--runner", default="", help="program that starts ENGINE, e.g. wine")
    p.add_argument("--uci", action="store_true", help="play ENGINE in UCI mode through polyglot")
    p.add_argument("--opponent-uci", action="store_true",
                   help="the opponent speaks UCI: it plays through polyglot")
    p.add_argument("--check-learning", action="store_true",
                   help="fail unless the last game reached the book")
    p.add_argument("--hang-timeout", type=float, help="seconds one game may last")
    p.add_argument("--strict", action="store_true", help="the opponent's failures fail too")
    p.add_argument("--xboard-arg", action="append", default=[], help="passed on to xboard")
    p.add_argument("--self-test", action="store_true")
    return p.parse_args(argv)


def main(argv):
    for fd in (0, 1, 2):  # CI may close stdin; keep pipes off the standard fds
        try:
            os.fstat(fd)
        except OSError:
            os.open(os.devnull, os.O_RDWR)
    if argv[:1] == ["--wrap"]:
        return wrap(argv[1], argv[2], argv[3:])
    if argv[:1] == ["--fake-engine"]:
        return fake_engine(argv[1])
    args = parse(argv)
    if args.self_test:
        return self_test()
    if not args.engine or args.games < 1:
        print("match.py: need an engine and at least one game", file=sys.stderr)
        return 2
    for prog in (args.engine, args.opponent):
        if not os.access(prog, os.X_OK):
            print(f"match.py: {prog} is not an executable", file=sys.stderr)
            return 2
    try:
        lim = limits(args)
    except ValueError as e:
        print(f"match.py: bad time control: {e}", file=sys.stderr)
        return 2
    name = os.path.basename(args.engine)
    opp = os.path.basename(args.opponent)
    opp = opp + "-2" if opp == name else opp
    # The engine learns into book files beside its program: a copy plays from
    # the output directory, so that games leave the build directory (and the
    # tests run there) as they were.
    engine_dir = os.path.join(args.out, "engine")
    os.makedirs(engine_dir, exist_ok=True)
    engine = shutil.copy2(args.engine, engine_dir)
    command = args.runner.split() + [os.path.abspath(engine)]
    if args.uci:
        command = [find("polyglot"), polyglot_ini(command, engine_dir, args.ponder)]
    opponent = [os.path.abspath(args.opponent)]
    if args.opponent_uci:
        opponent_dir = os.path.join(args.out, "opponent")
        os.makedirs(opponent_dir, exist_ok=True)
        opponent = [find("polyglot"), polyglot_ini(opponent, opponent_dir, args.ponder)]
    s = run_match(command, name, opponent, opp,
                  args.games, *lim, args.out, args.ponder,
                  "fischerandom" if args.fischerandom else None, args.xboard_arg)
    rc = report(s, args.strict)
    if args.check_learning:
        trouble = check_learning(args.out, args.runner.split() + [os.path.abspath(engine)])
        print(f"learning: {trouble or 'the last game is in both books'}")
        rc = rc or (1 if trouble else 0)
    return rc


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
