#!/usr/bin/env python3
"""ctest: the independent Python decoder dumps what our reader and writer dump.

1. For every GNUstep sample, independent_dump.py must print NAME.expected.json
   (this checks the independent decoder itself).
2. archive_sample_writer writes the sample database through our writer, in
   the program's layout and in that of a writer that merges nothing; the
   independent dump of both files must equal our dump of the tree written.

Usage: cross_check.py SAMPLE_WRITER FIXTURE_DIR WORK_DIR
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import independent_dump  # noqa: E402


def first_difference(a, b):
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return i
    return min(len(a), len(b))


def compare(label, ours, theirs):
    if ours == theirs:
        print("ok   %s" % label)
        return True
    i = first_difference(ours, theirs)
    print("FAIL %s: first difference at %d" % (label, i))
    print("  expected: ...%s" % ours[max(0, i - 60):i + 60])
    print("  python:   ...%s" % theirs[max(0, i - 60):i + 60])
    return False


def main():
    writer, fixtures, work = sys.argv[1:4]
    os.makedirs(work, exist_ok=True)
    ok = True
    for name in sorted(os.listdir(fixtures)):
        if not name.endswith(".archive"):
            continue
        with open(os.path.join(fixtures, name), "rb") as f:
            theirs = independent_dump.dump(f.read())
        with open(os.path.join(fixtures, name[: -len(".archive")] + ".expected.json"), encoding="utf-8") as f:
            expected = f.read().rstrip("\n")
        ok &= compare(name, expected, theirs)

    subprocess.run([writer, work], check=True)
    with open(os.path.join(work, "sample.archive"), "rb") as f:
        theirs = independent_dump.dump(f.read())
    with open(os.path.join(work, "sample.json"), encoding="utf-8") as f:
        ours = f.read().rstrip("\n")
    ok &= compare("sample database written by our writer", ours, theirs)
    with open(os.path.join(work, "sample-unshared.archive"), "rb") as f:
        theirs = independent_dump.dump(f.read())
    ok &= compare("sample database written without shared values", ours, theirs)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
