#!/usr/bin/env python3
"""Mutation test by hand: applies each slip of a list alone, builds the test
programs, runs them, and puts the file back.

A slip is caught when a test fails (or the build refuses it); it survives
when every test passes. The list (slips.txt beside this script) holds one
slip per block:

    [Area] path/of/file.cpp
    - text as it stands (once in the file)
    + text in its place (may be empty: a deleted line)

where \\n in either text stands for a line break.

usage: tools/mutate/mutate.py [--build DIR] [--list FILE] [--only AREA|N,...]

The build directory must be configured already (scripts/test.sh makes
build/). Prints one line per slip and the score by area; exits 1 when a slip
survives.
"""

import argparse
import collections
import os
import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
TESTS = ["kalvex_core_tests", "kalvex_platform_tests"]
TIMEOUT = 900  # seconds per test program; a slip that hangs counts as caught


def read_slips(path):
    slips, current = [], None
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if line.startswith("["):
            area, _, file = line[1:].partition("] ")
            current = {"area": area, "file": file.strip(), "old": None, "new": None, "line": number}
            slips.append(current)
        elif line.startswith("- ") and current:
            current["old"] = line[2:].replace("\\n", "\n")
        elif line.startswith("+") and current:
            current["new"] = line[2:].replace("\\n", "\n")
    for s in slips:
        if s["old"] is None or s["new"] is None:
            sys.exit(f"{path}:{s['line']}: a slip needs a '-' and a '+' line")
    return slips


def run(command, **kw):
    return subprocess.run(command, cwd=ROOT, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, **kw).returncode


def caught(build):
    """Whether the build or any test program fails."""
    if run(["cmake", "--build", str(build), "--target", *TESTS]) != 0:
        return "build"
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    for t in TESTS:
        try:
            if run([str(build / "tests" / t), "--gtest_fail_fast", "--gtest_brief=1"],
                   env=env, timeout=TIMEOUT) != 0:
                return t
        except subprocess.TimeoutExpired:
            return t + " (hung)"
    return None


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--build", default="build")
    p.add_argument("--list", default=str(pathlib.Path(__file__).with_name("slips.txt")))
    p.add_argument("--only", help="an area, or slip numbers separated by commas")
    a = p.parse_args()
    build = (ROOT / a.build).resolve()
    slips = read_slips(pathlib.Path(a.list))
    chosen = list(enumerate(slips, 1))
    if a.only:
        numbers = {int(n) for n in a.only.split(",")} if a.only[0].isdigit() else None
        chosen = [(n, s) for n, s in chosen if (n in numbers if numbers else s["area"] == a.only)]

    if caught(build):
        sys.exit("the suite does not pass without a slip")
    score = collections.defaultdict(lambda: [0, 0])
    survivors = []
    for n, s in chosen:
        path = ROOT / s["file"]
        original = path.read_bytes()
        text = original.decode("utf-8")
        if text.count(s["old"]) != 1:
            sys.exit(f"slip {n}: the text occurs {text.count(s['old'])} times in {s['file']}")
        try:
            path.write_text(text.replace(s["old"], s["new"]), encoding="utf-8")
            by = caught(build)
        finally:
            path.write_bytes(original)
        score[s["area"]][1] += 1
        if by:
            score[s["area"]][0] += 1
        else:
            survivors.append(n)
        print(f"{n:3} {s['area']:<12} {'caught by ' + by if by else 'SURVIVED':<32} "
              f"{s['file']}: {s['old'].strip().splitlines()[0]}", flush=True)
    run(["cmake", "--build", str(build), "--target", *TESTS])  # the files as they are again

    total = [sum(v[0] for v in score.values()), sum(v[1] for v in score.values())]
    for area, (k, t) in sorted(score.items()):
        print(f"{area:<12} {k:3} of {t:3}")
    print(f"{'all':<12} {total[0]:3} of {total[1]:3} ({100 * total[0] // max(total[1], 1)} %)")
    if survivors:
        print("survived:", ",".join(map(str, survivors)))
    return 1 if survivors else 0


if __name__ == "__main__":
    sys.exit(main())
