#!/usr/bin/env python3
"""Flipped bits never cost a record without a word: a database with one or two
flipped bits is either refused (exit 3, German reason) or loads with every
record it had.

    bitflip_test.py QUANDOR_CLI [TRIALS] [SEED]
"""
import os
import random
import subprocess
import sys
import tempfile


def main():
    cli = sys.argv[1]
    trials = int(sys.argv[2]) if len(sys.argv) > 2 else 400
    rnd = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 20261206)
    work = tempfile.mkdtemp(prefix="quandor-bits-")
    original = os.path.join(work, "a.mdb")
    subprocess.run([cli, "generate", "--items", "100", "--seed", "3", "--out", original], check=True)
    data = open(original, "rb").read()
    counts = subprocess.run([cli, "check", original], capture_output=True, text=True).stdout
    flipped = os.path.join(work, "f.mdb")
    refused = lost = 0
    for _ in range(trials):
        d = bytearray(data)
        flips = []
        for _ in range(rnd.choice((1, 2))):
            offset, bit = rnd.randrange(len(d)), 1 << rnd.randrange(8)
            d[offset] ^= bit
            flips.append((offset, bit))
        with open(flipped, "wb") as f:
            f.write(d)
        r = subprocess.run([cli, "check", flipped], capture_output=True, text=True)
        if r.returncode not in (0, 3) or (r.returncode == 3 and not r.stderr.strip()):
            print(f"Absturz oder stumme Ablehnung bei {flips}: exit {r.returncode} {r.stderr}")
            return 1
        if r.returncode == 3:
            refused += 1
        elif r.stdout != counts:
            lost += 1
            print(f"Datensätze verloren bei {flips}: {r.stdout.strip()}")
    print(f"{trials} Versuche: {refused} abgelehnt, {lost} mit verlorenen Datensätzen")
    return 1 if lost else 0


if __name__ == "__main__":
    sys.exit(main())
