#!/usr/bin/env python3
"""Load and save times of whole databases through quandor-cli.

    bench/load_bench.py BUILD_DIR [SIZES…]   (default sizes: 10000 100000 1000000)

For each size: generates a database once, then times `check` (load
completely) and `rewrite` (load + encode + write + flush + rename) five times
each, and `cat FILE > /dev/null` for comparison. Prints medians, the peak
resident memory of `check`, and the ratio of load time to cat.
"""
import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time


def timed(cmd, runs=5):
    times, peak = [], 0
    for _ in range(runs):
        before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
        t0 = time.perf_counter()
        p = subprocess.Popen(cmd, stdout=subprocess.DEVNULL)
        _, status, usage = os.wait4(p.pid, 0)
        times.append(time.perf_counter() - t0)
        if status != 0:
            raise SystemExit(f"failed: {' '.join(cmd)}")
        peak = max(peak, usage.ru_maxrss)
        del before
    return statistics.median(times), peak / 1024.0


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    sizes = [int(s) for s in sys.argv[2:]] or [10000, 100000, 1000000]
    cli = os.path.join(build, "src/cli/quandor-cli")
    with tempfile.TemporaryDirectory(prefix="quandor-bench-") as tmp:
        settings = os.path.join(tmp, "bench.conf")
        print(f"{'items':>9} {'file MB':>8} {'cat s':>7} {'load s':>7} {'load/cat':>8} {'save s':>7} {'peak MB':>8} {'KB/item':>7}")
        for n in sizes:
            db = os.path.join(tmp, f"db{n}.mdb")
            subprocess.run([cli, "generate", "--items", str(n), "--out", db], check=True)
            size_mb = os.path.getsize(db) / 1e6
            cat, _ = timed(["sh", "-c", f"cat '{db}' > /dev/null"])
            load, peak = timed([cli, "--settings", settings, "check", db])
            rewrite, _ = timed([cli, "--settings", settings, "--db", db, "rewrite"])
            save = max(rewrite - load, 0.0)
            print(f"{n:>9} {size_mb:>8.1f} {cat:>7.3f} {load:>7.3f} {load / max(cat, 1e-6):>8.1f} "
                  f"{save:>7.3f} {peak:>8.0f} {peak * 1024 / n:>7.2f}")


if __name__ == "__main__":
    main()
