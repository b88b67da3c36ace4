#!/usr/bin/env python3
"""Every writer on a full disk: the command fails with a German reason (exit 3)
and the file that was there before is unchanged, byte for byte.

    full_disk_test.py QUANDOR_CLI

Needs a small tmpfs of its own (mounting needs root); without one it reports
the test as skipped (exit 77).
"""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77


def sha(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def fill(folder):
    """Fills the file system of `folder` to the last byte."""
    n = 0
    while True:
        try:
            with open(os.path.join(folder, f"voll{n}"), "wb") as f:
                while True:
                    f.write(b"\0" * 4096)
                    f.flush()
        except OSError:
            pass
        n += 1
        try:
            with open(os.path.join(folder, f"voll{n}"), "wb") as f:
                f.write(b"\0")
                f.flush()
                os.fsync(f.fileno())
        except OSError:
            return


def main():
    cli = sys.argv[1]
    work = tempfile.mkdtemp(prefix="quandor-voll-")
    full = os.path.join(work, "voll")
    os.makedirs(full)
    if os.geteuid() != 0 or subprocess.run(["mount", "-t", "tmpfs", "-o", "size=2m", "tmpfs", full],
                                           capture_output=True).returncode != 0:
        print("kein eigenes tmpfs möglich: übersprungen")
        shutil.rmtree(work)
        return SKIP
    failures = []
    env = dict(os.environ, HOME=work, QT_QPA_PLATFORM="offscreen", LC_ALL="C.UTF-8")
    env.pop("XDG_DATA_HOME", None)

    def run(*args, home=None):
        e = dict(env)
        if home:
            e["HOME"] = home
        return subprocess.run([cli, "--settings", os.path.join(work, "s.conf"), *args],
                              capture_output=True, text=True, env=e)

    def expect_refused(name, result, path=None, before=None):
        ok = result.returncode == 3 and result.stderr.strip() != ""
        if path is not None:
            if before is None:
                ok = ok and not os.path.exists(path)
            else:
                ok = ok and os.path.exists(path) and sha(path) == before
        leftovers = [f for f in os.listdir(full) if not f.startswith("voll") and f not in keep]
        if leftovers:
            ok = False
        print(("ok   " if ok else "FAIL ") + name)
        if not ok:
            failures.append(name)
            print(f"     exit {result.returncode}, stderr: {result.stderr.strip()}, übrig: {leftovers}")
        elif "Systemfehler" in result.stderr or "Unknown error" in result.stderr:
            failures.append(name + " (Grund nicht auf Deutsch)")
            print("     " + result.stderr.strip())

    try:
        db = os.path.join(full, "db.mdb")
        outbox = os.path.join(full, "Ausgang")
        os.makedirs(outbox)
        assert run("generate", "--items", "300", "--seed", "5", "--out", db).returncode == 0
        assert run("settings", "set", "firstStepsDone", "true", "--type", "bool").returncode == 0
        assert run("--db", db, "voranmeldung", "--year", "2026", "--statement", "Januar",
                   "--outbox", outbox).returncode == 0
        ret = os.path.join(outbox, "Quandor_01_2026.xml")
        csv = os.path.join(full, "a.csv")
        pdf = os.path.join(full, "a.pdf")
        year = os.path.join(full, "j.qndby")
        for fmt, out in (("csv", csv), ("pdf", pdf)):
            assert run("--db", db, "export", "statement", "--year", "2026", "--statement", "Januar",
                       "--format", fmt, "--out", out).returncode == 0
        assert run("--db", db, "export", "year", "--year", "2026", "--out", year).returncode == 0
        home = os.path.join(full, "home")
        os.makedirs(os.path.join(home, ".local/share/Quandor"))
        keep = set(os.listdir(full))
        sums = {p: sha(p) for p in (db, ret, csv, pdf, year)}
        fill(full)

        expect_refused("Posten anlegen (Speichern der Datenbank)",
                       run("--db", db, "item", "add", "--year", "2026", "--statement", "Januar",
                           "--kind", "expense", "--amount", "119", "--title", "Papier"), db, sums[db])
        expect_refused("rewrite", run("--db", db, "rewrite"), db, sums[db])
        expect_refused("Voranmeldung in den Ausgangskorb",
                       run("--db", db, "voranmeldung", "--year", "2026", "--statement", "Januar",
                           "--outbox", outbox), ret, sums[ret])
        expect_refused("Export CSV", run("--db", db, "export", "statement", "--year", "2026",
                                         "--statement", "Januar", "--format", "csv", "--out", csv),
                       csv, sums[csv])
        expect_refused("Export PDF", run("--db", db, "export", "statement", "--year", "2026",
                                         "--statement", "Januar", "--format", "pdf", "--out", pdf),
                       pdf, sums[pdf])
        expect_refused("Jahr exportieren", run("--db", db, "export", "year", "--year", "2026",
                                               "--out", year), year, sums[year])
        expect_refused("generate", run("generate", "--items", "2000", "--out",
                                       os.path.join(full, "neu.mdb")), os.path.join(full, "neu.mdb"))
        # The temporary page of the summary lies in the data folder on the full disk.
        expect_refused("Übersicht (temporäre HTML-Seite)",
                       run("--db", db, "export", "summary", "--year", "2026", "--statement", "Januar",
                           "--out", os.path.join(work, "s.pdf"), home=home))
    finally:
        subprocess.run(["umount", full])
        shutil.rmtree(work, ignore_errors=True)
    if failures:
        print("Fehlgeschlagen: " + ", ".join(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
