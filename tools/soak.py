#!/usr/bin/env python3
"""A soak: a mixed gauntlet of games under xboard, played by tools/match.py.

  tools/soak.py ENGINE [--games N] [--jobs J] [--out DIR]
                [--opponents fairymax,phalanx,sjeng,glaurung] [--controls 40/30s,1m+1s,st1]
                [--ponder off,on] [--protocols xboard,uci] [--no-fischerandom]

Each cell of the gauntlet (opponent x control x pondering x Vostrel's
protocol) plays N games (default 2, colours alternating); fischerandom is
played against a second copy of Vostrel (none of the Debian opponents plays
it), under every control. glaurung and toga2 speak UCI and play through
polyglot; Vostrel in UCI mode does too. J matches run at once (default 1; each
has its own virtual display).

The report lists per opponent and control the score and every illegal move,
false claim, time forfeit, crash and hang, and the engine's peak memory.
Exit status 0 only when Vostrel made none of these failures and every game
was played. Needs the Debian packages xboard xvfb polyglot and the opponents.
"""
import argparse, collections, concurrent.futures, os, re, shutil, subprocess, sys, time

HERE = os.path.dirname(os.path.abspath(__file__))
OPPONENTS = {  # name: (program, speaks UCI)
    "fairymax": ("/usr/games/fairymax", False),
    "phalanx": ("/usr/games/phalanx", False),
    "sjeng": ("/usr/games/sjeng", False),
    "glaurung": ("/usr/games/glaurung", True),
    "toga2": ("/usr/games/toga2", True),
}
CONTROLS = {  # name: match.py's time options
    "40/30s": ["--tc", "40/0:30"],
    "1m+1s": ["--tc", "1", "--inc", "1"],
    "st1": ["--st", "1"],
}
SUMMARY = re.compile(r"^games (\d+) \S+ \+(\d+) =(\d+) -(\d+) score \S+ illegal (\d+) "
                     r"forfeits (\d+) crashes (\d+) hangs (\d+) claims (\d+)")
MEMORY = re.compile(r"^memory: \S+ peak ([\d.]+) MB")
FAILURES = ("illegal", "forfeits", "crashes", "hangs", "claims")


def cells(args):
    for opponent in args.opponents:
        for control in args.controls:
            for ponder in args.ponder:
                for protocol in args.protocols:
                    yield opponent, control, ponder, protocol, False
    if args.fischerandom:
        for control in args.controls:
            yield "vostrel", control, "off", "xboard", True


def play(args, cell, number):
    opponent, control, ponder, protocol, frc = cell
    out = os.path.join(args.out, f"{number:03d}-{opponent}-{control.replace('/', '_')}"
                       f"-ponder_{ponder}-{protocol}{'-frc' if frc else ''}")
    command = [sys.executable, os.path.join(HERE, "match.py"), args.engine,
               "--games", str(args.games), "--out", out, *CONTROLS[control]]
    if frc:
        # A copy of its own, so that its learning stays out of the build directory.
        copy = os.path.join(out, "opponent")
        os.makedirs(copy, exist_ok=True)
        command += ["--fischerandom", "--opponent", shutil.copy2(args.engine, copy)]
    else:
        program, uci = OPPONENTS[opponent]
        command += ["--opponent", program] + (["--opponent-uci"] if uci else [])
    if ponder == "on":
        command.append("--ponder")
    if protocol == "uci":
        command.append("--uci")
    done = subprocess.run(command, capture_output=True, text=True)
    with open(os.path.join(out, "match.log"), "w") as f:
        f.write(done.stdout + done.stderr)
    result = {"games": 0, "w": 0, "d": 0, "l": 0, "memory": 0.0, "planned": args.games}
    result.update(dict.fromkeys(FAILURES, 0))
    for line in done.stdout.splitlines():
        m = SUMMARY.match(line)
        if m:
            values = list(map(int, m.groups()))
            result.update(zip(("games", "w", "d", "l") + FAILURES, values))
        m = MEMORY.match(line)
        if m:
            result["memory"] = float(m.group(1))
    return cell, out, result


def parse(argv):
    p = argparse.ArgumentParser(description=__doc__,
                                formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("engine")
    p.add_argument("--games", type=int, default=2)
    p.add_argument("--jobs", type=int, default=1)
    p.add_argument("--out", default="soak-out")
    p.add_argument("--opponents", default="fairymax,phalanx,sjeng,glaurung")
    p.add_argument("--controls", default="40/30s,1m+1s,st1")
    p.add_argument("--ponder", default="off,on")
    p.add_argument("--protocols", default="xboard,uci")
    p.add_argument("--no-fischerandom", dest="fischerandom", action="store_false")
    args = p.parse_args(argv)
    args.engine = os.path.abspath(args.engine)
    for field, known in (("opponents", OPPONENTS), ("controls", CONTROLS),
                         ("ponder", ("off", "on")), ("protocols", ("xboard", "uci"))):
        values = getattr(args, field).split(",") if getattr(args, field) else []
        unknown = [v for v in values if v not in known]
        if unknown:
            p.error(f"unknown {field}: {', '.join(unknown)}")
        setattr(args, field, values)
    return args


def main(argv):
    args = parse(argv)
    os.makedirs(args.out, exist_ok=True)
    start = time.monotonic()
    totals = collections.defaultdict(lambda: collections.Counter())
    peak, played, planned, failed = 0.0, 0, 0, []
    with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
        runs = [pool.submit(play, args, cell, n) for n, cell in enumerate(cells(args), 1)]
        for run in concurrent.futures.as_completed(runs):
            cell, out, r = run.result()
            opponent, control, ponder, protocol, frc = cell
            label = f"{opponent} {control} ponder {ponder} {protocol}{' fischerandom' if frc else ''}"
            print(f"{label:45} +{r['w']} ={r['d']} -{r['l']} of {r['planned']}  "
                  + " ".join(f"{k} {r[k]}" for k in FAILURES)
                  + (f"  peak {r['memory']:.1f} MB" if r["memory"] else ""), flush=True)
            key = (opponent + (" (fischerandom)" if frc else ""), control)
            totals[key].update({k: r[k] for k in ("games", "w", "d", "l") + FAILURES})
            peak = max(peak, r["memory"])
            played += r["games"]
            planned += r["planned"]
            if r["games"] < r["planned"] or any(r[k] for k in FAILURES):
                failed.append(out)
    print(f"\n{'opponent':28} {'control':8} {'games':>5} {'score':>11}  failures")
    for (opponent, control), t in sorted(totals.items()):
        score = t["w"] + t["d"] / 2
        print(f"{opponent:28} {control:8} {t['games']:5} {score:5.1f}/{t['games']:<5} "
              + " ".join(f"{k} {t[k]}" for k in FAILURES))
    all_failures = {k: sum(t[k] for t in totals.values()) for k in FAILURES}
    print(f"\nsoak: {played} of {planned} games in {(time.monotonic() - start) / 60:.0f} min; "
          + " ".join(f"{k} {v}" for k, v in all_failures.items())
          + f"; engine peak memory {peak:.1f} MB")
    for out in failed:
        print(f"see {out}")
    return 0 if not failed else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
