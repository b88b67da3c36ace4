#!/usr/bin/env python3
"""SIGKILL at random moments of a save: the database file is always the old or
the new one, whole, and the next start cleans up what the killed save left.

    crash_test.py QUANDOR_CLI [KILLS] [SEED]
"""
import os
import random
import signal
import subprocess
import sys
import tempfile
import time


def main():
    cli = sys.argv[1]
    kills = int(sys.argv[2]) if len(sys.argv) > 2 else 100
    rnd = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 7)
    work = tempfile.mkdtemp(prefix="quandor-kill-")
    db = os.path.join(work, "db.mdb")
    settings = os.path.join(work, "s.conf")
    subprocess.run([cli, "generate", "--items", "20000", "--seed", "11", "--out", db], check=True)

    def items():
        r = subprocess.run([cli, "--settings", settings, "check", db], capture_output=True, text=True)
        if r.returncode != 0:
            return None
        return int(r.stdout.split('"items":')[1].split(",")[0])

    def timed(args):
        start = time.monotonic()
        subprocess.run([cli, "--settings", settings, "--db", db, *args], capture_output=True)
        return time.monotonic() - start

    add = ["item", "add", "--year", "2026", "--statement", "Januar", "--kind", "expense",
           "--amount", "11,90", "--title", "Porto"]
    duration = max(timed(["rewrite"]), timed(add))
    expected = items()
    for n in range(kills):
        args = ["rewrite"] if n % 2 == 0 else add
        p = subprocess.Popen([cli, "--settings", settings, "--db", db, *args],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(rnd.uniform(0, duration * 1.2))
        p.send_signal(signal.SIGKILL)
        p.wait()
        now = items()
        if now is None or now not in (expected, expected + 1):
            print(f"Nach dem {n + 1}. Abbruch ist die Datenbank nicht ganz: {now} statt {expected}")
            return 1
        expected = now
    # The next program that opens the data removes what a killed save left.
    r = subprocess.run([cli, "--settings", settings, "--db", db, "rewrite"], capture_output=True,
                       text=True)
    left = [f for f in os.listdir(work) if f.startswith("db.mdb.")]
    if r.returncode != 0 or left:
        print(f"rewrite danach: exit {r.returncode} {r.stderr.strip()}, übrig: {left}")
        return 1
    print(f"{kills} Abbrüche, die Datenbank war jedes Mal ganz ({expected} Posten)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
