#!/usr/bin/env python3
"""Load and save times of whole databases through quandor-cli.

    bench/load_bench.py BUILD_DIR [--runs N] [--layouts shared,unshared] [SIZES…]
    (default sizes: 10000 100000 1000000; default layouts: both)

For each size: generates the database once per layout from the same items
(`generate`, and `generate --unshared` for the layout of a writer that merges
no equal values: every string, number and date its own object), then times
`check` (load completely) and `rewrite` (load + encode in the program's own
layout + write + flush + rename; run on a fresh copy each time, since it
replaces the file) N times each (default 5), and `cat FILE > /dev/null` for
comparison. Prints medians, the peak resident memory of `check`, and the
ratio of load time to cat.

As a yardstick the same items are written as a journal (`generate --journal`)
and `ledger -f JOURNAL bal` is timed the same way; "load/ledger" is the load
median over ledger's median. Without ledger on PATH the column says so and
the rest of the table is unchanged.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import tempfile
import time


def timed(cmd, runs, before=None):
    """Median wall time of `cmd` over `runs` runs, and its peak resident MB."""
    times, peak = [], 0
    for _ in range(runs):
        if before:
            before()
        t0 = time.perf_counter()
        p = subprocess.Popen(cmd, stdout=subprocess.DEVNULL)
        _, status, usage = os.wait4(p.pid, 0)
        times.append(time.perf_counter() - t0)
        if status != 0:
            raise SystemExit(f"failed: {' '.join(cmd)}")
        peak = max(peak, usage.ru_maxrss)
    return statistics.median(times), peak / 1024.0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("sizes", nargs="*", type=int)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--layouts", default="shared,unshared")
    args = parser.parse_args()
    sizes = args.sizes or [10000, 100000, 1000000]
    layouts = [l for l in args.layouts.split(",") if l]
    for layout in layouts:
        if layout not in ("shared", "unshared"):
            raise SystemExit(f"unknown layout: {layout}")
    cli = os.path.join(args.build, "src/cli/quandor-cli")
    ledger = shutil.which("ledger")
    if not ledger:
        print("ledger not installed: no load/ledger ratio")

    with tempfile.TemporaryDirectory(prefix="quandor-bench-") as tmp:
        settings = os.path.join(tmp, "bench.conf")
        print(f"{'items':>9} {'layout':>9} {'file MB':>8} {'cat s':>7} {'load s':>7} {'load/cat':>8} "
              f"{'save s':>7} {'peak MB':>8} {'ledger s':>8} {'load/ledger':>11}")
        for n in sizes:
            journal = os.path.join(tmp, f"db{n}.ledger")
            ledger_time = None
            for layout in layouts:
                db = os.path.join(tmp, f"db{n}-{layout}.mdb")
                gen = [cli, "generate", "--items", str(n), "--out", db]
                if layout == "unshared":
                    gen.append("--unshared")
                if ledger and ledger_time is None:
                    gen += ["--journal", journal]
                subprocess.run(gen, check=True)
                if ledger and ledger_time is None:
                    ledger_time, _ = timed([ledger, "-f", journal, "bal"], args.runs)
                size_mb = os.path.getsize(db) / 1e6
                cat, _ = timed(["sh", "-c", f"cat '{db}' > /dev/null"], args.runs)
                load, peak = timed([cli, "--settings", settings, "check", db], args.runs)
                copy = os.path.join(tmp, "rewrite.mdb")
                rewrite, _ = timed([cli, "--settings", settings, "--db", copy, "rewrite"], args.runs,
                                   before=lambda: shutil.copyfile(db, copy))
                save = max(rewrite - load, 0.0)
                if ledger_time:
                    yardstick = f"{ledger_time:>8.3f} {load / ledger_time:>11.2f}"
                else:
                    yardstick = f"{'-':>8} {'not installed':>11}"
                print(f"{n:>9} {layout:>9} {size_mb:>8.1f} {cat:>7.3f} {load:>7.3f} "
                      f"{load / max(cat, 1e-6):>8.1f} {save:>7.3f} {peak:>8.0f} {yardstick}",
                      flush=True)


if __name__ == "__main__":
    main()
