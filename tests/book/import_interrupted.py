#!/usr/bin/env python3
"""An import killed at any moment leaves the old book byte for byte as it was.

  import_interrupted.py VOSTREL

Runs "VOSTREL book import" on a few thousand games into a 16 MB book and
kills it (SIGKILL) at points spread over its whole run, from the reading of
the games to the writing of the new book; after each kill the book must be
the old one byte for byte, or, when the kill came after the new book took
its place, the whole new one.
"""
import hashlib, os, random, subprocess, sys, tempfile, time

GAMES = [
    "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O Be7 6. Re1 b5 7. Bb3 d6 8. c3 O-O 1-0",
    "1. d4 d5 2. c4 e6 3. Nc3 Nf6 4. Bg5 Be7 5. e3 O-O 6. Nf3 h6 7. Bh4 b6 8. cxd5 Nxd5 0-1",
    "1. e4 c5 2. Nf3 d6 3. d4 cxd4 4. Nxd4 Nf6 5. Nc3 a6 6. Be3 e5 7. Nb3 Be6 1/2-1/2",
]


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def fresh():
    """The old book: a million records of random bytes, the same each time."""
    with open("old.bk", "wb") as f:
        f.write(random.Random(1).randbytes(16 * 1000000))


def main():
    program = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as work:
        os.chdir(work)
        with open("games.pgn", "w") as f:
            for i in range(30000):
                f.write(f'[Event "{i}"]\n\n{GAMES[i % 3]}\n\n')
        fresh()
        before = digest("old.bk")

        # A whole run, on a copy, for its length and its summary.
        with open("old.bk", "rb") as f, open("copy.bk", "wb") as g:
            g.write(f.read())
        start = time.monotonic()
        run = subprocess.run([program, "book", "import", "games.pgn", "--book", "copy.bk"],
                             capture_output=True, text=True)
        whole = time.monotonic() - start
        if run.returncode != 0 or "games read 30000, imported 30000, skipped 0" not in run.stdout:
            print(f"whole import failed: {run.returncode}\n{run.stdout}{run.stderr}")
            return 1
        after = digest("copy.bk")

        killed = 0
        for fraction in (0.02, 0.1, 0.3, 0.5, 0.7, 0.8, 0.85, 0.9, 0.93, 0.96, 0.98, 0.99):
            job = subprocess.Popen([program, "book", "import", "games.pgn", "--book", "old.bk"],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(whole * fraction)
            job.kill()
            if job.wait() != -9:
                fresh()  # it finished first
                continue
            book = digest("old.bk")
            if book == after:  # killed as it exited
                fresh()
                continue
            if book != before:
                print(f"killed at {fraction:.0%} of the run: the book is neither the old nor the new")
                return 1
            killed += 1
        print(f"whole run {whole:.2f} s; killed {killed} times before the new book was "
              "in place, the old book intact each time")
        return 0 if killed >= 3 else 1


if __name__ == "__main__":
    sys.exit(main())
