#!/usr/bin/env python3
"""Quit time of the desktop program: "Quandor beenden" (Ctrl+Q) to process exit.

    bench/quit_bench.py BUILD_DIR [--runs N] [--items N] [--busy-disk]

Starts build/app/quandor N times (default 5) in a virtual X display (Xvfb
with openbox) on a fresh data folder holding a generated database of
--items items (default 50), waits until its main window shows, presses
Ctrl+Q and times until the process has ended. Prints the median and the
single runs.

--busy-disk writes a large file beside the data folder while quitting (what
other programs compiling or copying on the same disk do): every sync the
program waits for at quit then waits for their data too.

Needs Xvfb, openbox and xdotool (Debian packages xvfb, openbox, xdotool);
without them it says so and ends.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time


def busy_writer(folder, stop):
    """Writes without syncing until `stop` is set; at most 4 GB, then starts over."""
    path = os.path.join(folder, "busy.bin")
    block = os.urandom(1 << 20)
    while not stop.is_set():
        with open(path, "wb") as f:
            for _ in range(4096):
                if stop.is_set():
                    break
                f.write(block)
    os.remove(path)


def one_run(app, display, home, db, conf, busy):
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", HOME=home,
               XDG_DATA_HOME=os.path.join(home, ".local/share"),
               XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_RUNTIME_DIR=home)
    log = open(os.path.join(home, "quandor.log"), "w")
    p = subprocess.Popen([app, "--settings", conf, "--db", db], env=env,
                         stdout=log, stderr=log)
    try:
        window = []
        for _ in range(300):
            window = subprocess.run(["xdotool", "search", "--pid", str(p.pid), "--onlyvisible",
                                     "--name", "^Quandor$"], env=env, capture_output=True,
                                    text=True).stdout.split()
            if window:
                break
            time.sleep(0.1)
        if not window:
            log.close()
            with open(os.path.join(home, "quandor.log")) as f:
                raise SystemExit(f"the main window did not show (process: {p.poll()})\n{f.read()}")
        time.sleep(1.0)  # start-up finished: loaded, timer running
        subprocess.run(["xdotool", "windowactivate", "--sync", window[0]], env=env,
                       capture_output=True)
        stop = threading.Event()
        writer = None
        if busy:
            writer = threading.Thread(target=busy_writer, args=(os.path.dirname(db), stop))
            writer.start()
            time.sleep(2.0)  # the disk is busy by now
        t0 = time.perf_counter()
        subprocess.run(["xdotool", "key", "--window", window[0], "ctrl+q"], env=env,
                       capture_output=True)
        try:
            rc = p.wait(timeout=15)
            elapsed = time.perf_counter() - t0
        except subprocess.TimeoutExpired:
            # The virtual display lost the key now and then: not a quit time.
            subprocess.run(["xdotool", "key", "--window", window[0], "ctrl+q"], env=env,
                           capture_output=True)
            rc = p.wait(timeout=60)
            elapsed = None
        stop.set()
        if writer:
            writer.join()
        if rc != 0:
            raise SystemExit(f"quandor ended with status {rc}")
        return elapsed
    finally:
        if p.poll() is None:
            p.kill()
            p.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--items", type=int, default=50)
    parser.add_argument("--busy-disk", action="store_true")
    parser.add_argument("--app", help="the program to time (default BUILD/app/quandor)")
    args = parser.parse_args()
    missing = [t for t in ("Xvfb", "openbox", "xdotool") if not shutil.which(t)]
    if missing:
        print(f"{', '.join(missing)} not installed: no quit time measured")
        return
    app = args.app or os.path.join(args.build, "app/quandor")
    cli = os.path.join(args.build, "src/cli/quandor-cli")
    display = f":{500 + os.getpid() % 400}"
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1440x900x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)
    wm = subprocess.Popen(["openbox"], env=dict(os.environ, DISPLAY=display),
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    times = []
    try:
        with tempfile.TemporaryDirectory(prefix="quandor-quit-") as tmp:
            db = os.path.join(tmp, "data", "Quandor_Version_1.mdb")
            os.makedirs(os.path.dirname(db))
            subprocess.run([cli, "generate", "--items", str(args.items), "--out", db], check=True)
            for _ in range(args.runs):
                home = tempfile.mkdtemp(dir=tmp)
                conf = os.path.join(home, "quandor.conf")
                with open(conf, "w") as f:
                    # Past the first start: no disclaimer, no welcome sheet.
                    f.write("[General]\nveryFirstAlertDone=true\n5StartEver=true\n"
                            "firstStepsDone=true\nprefsAlwaysShowWelcomeSheet=true\n")
                t = one_run(app, display, home, db, conf, args.busy_disk)
                if t is None:
                    print("a run whose key press was lost is left out")
                else:
                    times.append(t)
    finally:
        wm.terminate()
        xvfb.terminate()
        wm.wait()
        xvfb.wait()
    load = "busy disk" if args.busy_disk else "idle disk"
    print(f"quit ({load}, {args.items} items): median {statistics.median(times):.3f} s   "
          f"(runs: {' '.join(f'{t:.3f}' for t in times)})")


if __name__ == "__main__":
    sys.exit(main())
