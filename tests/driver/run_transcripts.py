#!/usr/bin/env python3
"""Runs the engine on each NAME.in of a directory, its input through a pipe or
from a file, and compares what it prints with NAME.out, line by line.

  run_transcripts.py [--input pipe|file] [--data DIR] [--skip NAME ...] TRANSCRIPTS ENGINE [ARG ...]

ENGINE with its arguments is the command, e.g. `wine build-win64/vostrel.exe`.
"@DATA@" in an input is the data directory. CRs before line ends are dropped
(a Windows build). In an expected line "*", and three dots at its end, stand
for any text: times and rates vary. The engine must exit with status 0 and
write nothing to standard error. --skip leaves out the named transcripts (the
full bench in a sanitizer build).
"""
import argparse
import itertools
import os
import re
import subprocess
import sys
import tempfile

TIMEOUT = 300  # seconds for one transcript, sanitizer and wine runs included


def matches(expected, actual):
    if expected.endswith("..."):
        expected = expected[:-3] + "*"
    return re.fullmatch(".*".join(map(re.escape, expected.split("*"))), actual) is not None


def run(engine, text, how):
    """The engine's exit status, standard output and standard error."""
    data = text.encode()
    if how == "pipe":
        done = subprocess.run(engine, input=data, capture_output=True, timeout=TIMEOUT)
    else:
        with tempfile.TemporaryFile() as file:
            file.write(data)
            file.seek(0)
            done = subprocess.run(engine, stdin=file, capture_output=True, timeout=TIMEOUT)
    output = done.stdout.decode(errors="replace").replace("\r\n", "\n")
    return done.returncode, output, done.stderr.decode(errors="replace")


def problem(expected, status, output, errors):
    if status != 0:
        return f"exit status {status}"
    if errors:
        return f"output on standard error:\n{errors}"
    lines = itertools.zip_longest(expected.split("\n"), output.split("\n"))
    for number, (want, got) in enumerate(lines, 1):
        if want is None:
            return f'line {number}: unexpected extra output "{got}"'
        if got is None:
            return f'line {number}: output ends; expected "{want}"'
        if not matches(want, got):
            return f'line {number}: expected "{want}"\n  but got "{got}"'
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--input", choices=("pipe", "file"), default="pipe")
    parser.add_argument("--data", default="")
    parser.add_argument("--skip", action="append", default=[], metavar="NAME")
    parser.add_argument("transcripts")
    parser.add_argument("engine", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    if not args.engine:
        parser.error("no engine command")
    names = sorted(n[:-3] for n in os.listdir(args.transcripts)
                   if n.endswith(".in") and n[:-3] not in args.skip)
    if not names:
        sys.exit(f"no transcripts (*.in) in {args.transcripts}")
    failed = []
    for name in names:
        base = os.path.join(args.transcripts, name)
        expected = output = ""
        with open(base + ".in") as f:
            text = f.read().replace("@DATA@", os.path.abspath(args.data))
        try:
            with open(base + ".out") as f:
                expected = f.read()
            status, output, errors = run(args.engine, text, args.input)
            trouble = problem(expected, status, output, errors)
        except FileNotFoundError as missing:
            trouble = f"{missing.filename} is missing"
        except subprocess.TimeoutExpired:
            trouble = f"no end within {TIMEOUT} s"
        if trouble:
            failed.append(name)
            print(f"{name}: FAILED: {trouble}\n--- expected ({base}.out)\n{expected}"
                  f"--- actual\n{output}---")
        else:
            print(f"{name}: ok")
    if failed:
        sys.exit(f"transcripts that failed: {' '.join(failed)}")


if __name__ == "__main__":
    main()
