#!/usr/bin/env python3
"""Runs the engine on each NAME.in of a directory and compares what it prints
with NAME.out, line by line.

  run_transcripts.py [--input pipe|file] [--data DIR] [--skip NAME ...] TRANSCRIPTS ENGINE [ARG ...]

ENGINE with its arguments is the command, e.g. `wine build-win64/vostrel.exe`.
The input reaches the engine through a pipe or as a file on its standard
input. "@DATA@" in an input stands for the data directory. Line ends are
compared without their CR, so that a Windows build matches too. An expected
line that ends in "..." matches any line that starts with the text before the
dots (perft reports its time and rate, which vary from run to run); every other
line must match exactly. The engine must exit with status 0 and write nothing
to standard error. --skip leaves out the named transcripts (the full bench in
a sanitizer build, many times slower than a release build).
"""
import argparse
import os
import subprocess
import sys
import tempfile

TIMEOUT = 300  # seconds for one transcript, sanitizer and wine runs included


def matches(expected, actual):
    if expected.endswith("..."):
        return actual.startswith(expected[:-3])
    return expected == actual


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
    want, got = expected.split("\n"), output.split("\n")
    for number in range(max(len(want), len(got))):
        if number >= len(want):
            return f'line {number + 1}: unexpected extra output "{got[number]}"'
        if number >= len(got):
            return f'line {number + 1}: output ends; expected "{want[number]}"'
        if not matches(want[number], got[number]):
            return f'line {number + 1}: expected "{want[number]}"\n  but got "{got[number]}"'
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
    data = os.path.abspath(args.data)
    failed = []
    for name in names:
        base = os.path.join(args.transcripts, name)
        with open(base + ".in") as f:
            text = f.read().replace("@DATA@", data)
        try:
            with open(base + ".out") as f:
                expected = f.read()
        except FileNotFoundError:
            print(f"{name}: {base}.out is missing")
            failed.append(name)
            continue
        try:
            status, output, errors = run(args.engine, text, args.input)
            trouble = problem(expected, status, output, errors)
        except subprocess.TimeoutExpired:
            output, trouble = "", f"no end within {TIMEOUT} s"
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
