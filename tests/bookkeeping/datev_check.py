#!/usr/bin/env python3
"""Reads the DATEV booking batch of `quandor-cli export datev` with a reader of
its own, written from DATEV's column list (EXTF, format 700, category 21,
"Buchungsstapel" version 13), and compares every booking line with the items
the command line lists.

    datev_check.py QUANDOR_CLI
"""
import datetime
import json
import os
import struct
import subprocess
import sys
import tempfile

HEADER_FIELDS = 31
COLUMNS = 125  # 47 + 40 "Zusatzinformation" + 38
# Columns of a booking line, 1-based as in the format description.
UMSATZ, SH, WKZ, KONTO, GEGENKONTO, BU, BELEGDATUM, BELEGFELD1, BUCHUNGSTEXT, BELEGLINK = 1, 2, 3, 7, 8, 9, 10, 11, 14, 20
BELEG_ALLOWED = set("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789$&%*+-/")
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)


def split_fields(line):
    """One line of semicolon separated fields; quoted fields double inner quotes."""
    fields, i, n = [], 0, len(line)
    while True:
        if i < n and line[i] == '"':
            i += 1
            value = []
            while True:
                j = line.index('"', i)
                value.append(line[i:j])
                if j + 1 < n and line[j + 1] == '"':
                    value.append('"')
                    i = j + 2
                    continue
                i = j + 1
                break
            fields.append(("q", "".join(value)))
        else:
            j = line.find(";", i)
            fields.append(("n", line[i:] if j < 0 else line[i:j]))
            i = n if j < 0 else j
        if i >= n:
            return fields
        assert line[i] == ";", f"after a field comes ';' at {i}: {line[:80]!r}"
        i += 1


def f32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def run(cli, *args, ok=(0,)):
    p = subprocess.run([cli, *args], capture_output=True)
    if p.returncode not in ok:
        raise SystemExit(f"{args}: exit {p.returncode}\n{p.stderr.decode()}")
    return p


def main():
    cli = sys.argv[1]
    with tempfile.TemporaryDirectory() as tmp:
        os.environ["HOME"] = tmp
        os.environ["TZ"] = "UTC"
        base = [cli, "--settings", f"{tmp}/s.conf", "--db", f"{tmp}/db.mdb", "--locale", "de_DE",
                "--now", "2027-01-15T10:20:30.456Z"]
        c = lambda *a, ok=(0,): run(*base, *a, ok=ok)
        c("accounts", "load", "complete", "--yes")
        c("year", "add", "2026")
        c("statement", "add", "--year", "2026", "Januar")
        c("statement", "add", "--year", "2026", "Februar")
        long_title = 'Ein "Titel"; mit =Formel, Ümläuten, € und 🙂 ' + "x" * 10000
        items = [
            ("Januar", "income", "1190", ["--vat", "--rate", "1"], "Honorar", "4200", "RE-2026/01 Ä", "2026-01-05"),
            ("Januar", "expense", "59,50", ["--vat", "--rate", "2"], "Fachbuch", "6820", "B 7", "2026-01-09"),
            ("Januar", "income", "238", ["--vat", "--rate", "1"], "Erlös automatisch", "4400", "R2", "2026-01-12"),
            ("Januar", "expense", "12", [], long_title, "6800", "#x" * 40, "2026-01-31"),
            ("Februar", "expense", "20", ["--vat", "--rate", "1"], "ohne Konto", None, "K1", "2026-02-02"),
            ("Februar", "income", "500", ["--vat", "--rate", "4"], "steuerfrei", "4100", "", "2026-02-10"),
        ]
        for st, kind, amount, vat, title, konto, number, date in items:
            args = ["item", "add", "--year", "2026", "--statement", st, "--kind", kind, "--amount", amount,
                    "--title", title, "--date", date, "--number", number, *vat]
            if konto:
                args += ["--account-number", konto]
            c(*args)
        listed = []
        for st in ("Januar", "Februar"):
            listed += json.loads(c("item", "list", "--year", "2026", "--statement", st).stdout)

        out = f"{tmp}/extf.csv"
        # Without the numbers of the "Datev" page nothing is written.
        p = c("export", "datev", "--year", "2026", "--out", out, ok=(1,))
        check(not os.path.exists(out) and "Beraternummer" in p.stderr.decode(), "refused without numbers")
        c("settings", "set", "prefsDatevBeraterNummer", "29098", "--type", "text")
        c("settings", "set", "prefsDatevMandantenNummer", "55003", "--type", "text")
        # An item without an account number: listed, nothing written without --yes.
        p = c("export", "datev", "--year", "2026", "--out", out, ok=(1,))
        check(not os.path.exists(out), "nothing written before the person agrees")
        check("ohne Konto" in p.stderr.decode() and "keine Kontonummer" in p.stderr.decode(), "notice names the item")
        c("export", "datev", "--year", "2026", "--out", out, "--yes")
        raw = open(out, "rb").read()

    check(raw.count(b"\r\n") == raw.count(b"\n"), "every line ends in CR LF")
    check(raw.endswith(b"\r\n"), "the file ends with CR LF")
    text = raw.decode("cp1252")
    lines = text.split("\r\n")[:-1]
    head = split_fields(lines[0])
    check(len(head) == HEADER_FIELDS, f"header has {len(head)} fields")
    hv = [v for _, v in head]
    check(head[0] == ("q", "EXTF") and hv[1] == "700" and hv[2] == "21" and head[3] == ("q", "Buchungsstapel")
          and hv[4] == "13", f"format fields {hv[:5]}")
    check(hv[5] == "20270115102030456", f"Erzeugt am {hv[5]}")
    check(hv[10] == "29098" and hv[11] == "55003", "Berater- und Mandantennummer")
    check(hv[12] == "20260101" and hv[13] == "4" and hv[14] == "20260101" and hv[15] == "20261231",
          f"WJ-Beginn, Sachkontenlänge, Zeitraum {hv[12:16]}")
    check(head[26] == ("q", "04"), "Sachkontenrahmen 04")
    names = split_fields(lines[1])
    check(len(names) == COLUMNS, f"{len(names)} column names")
    check([v for _, v in names[:14]] == [
        "Umsatz (ohne Soll/Haben-Kz)", "Soll/Haben-Kennzeichen", "WKZ Umsatz", "Kurs", "Basis-Umsatz",
        "WKZ Basis-Umsatz", "Konto", "Gegenkonto (ohne BU-Schlüssel)", "BU-Schlüssel", "Belegdatum",
        "Belegfeld 1", "Belegfeld 2", "Skonto", "Buchungstext"], "first column names")
    check(names[BELEGLINK - 1][1] == "Beleglink", "Beleglink column")

    expected = [i for i in listed if i["properties"].get("accountNumber")]
    bookings = lines[2:]
    check(len(bookings) == len(expected), f"{len(bookings)} booking lines for {len(expected)} items")
    for line, item in zip(bookings, expected):
        f = split_fields(line)
        check(len(f) == COLUMNS, f"booking has {len(f)} fields")
        p = item["properties"]
        get = lambda col: f[col - 1][1]
        gross = f32(p["finalAmount"])
        check(get(UMSATZ) == f"{abs(gross):.2f}".replace(".", ","), f"amount {get(UMSATZ)} for {gross}")
        check(f[SH - 1] == ("q", "S" if gross < 0 else "H"), "Soll/Haben")
        check(get(KONTO) == p["accountNumber"] and get(GEGENKONTO) == "1800", "accounts")
        rate = p.get("taxPerecent", 0) if p.get("taxBool") and p.get("taxTag") in (1, 2, 3) else None
        automatic = p["accountNumber"] == "4400"
        bu = "" if rate is None or automatic else {19: "3", 7: "8" if p["kind"] == 1 else "2"}.get(round(rate), "")
        if p["kind"] == 1 and bu == "3":
            bu = "9"
        check(get(BU) == bu, f"BU {get(BU)!r} expected {bu!r} for {p['title'][:20]}")
        day = datetime.datetime.fromtimestamp(p["date"]["$date"], datetime.timezone.utc)
        check(get(BELEGDATUM) == day.strftime("%d%m"), "Belegdatum TTMM")
        beleg = get(BELEGFELD1)
        check(len(beleg) <= 36 and set(beleg) <= BELEG_ALLOWED, f"Belegfeld 1 {beleg!r}")
        title = " ".join(p["title"].split())[:60]
        want = "".join(ch if ch.encode("cp1252", "replace") != b"?" or ch == "?" else "?" for ch in title)
        check(f[BUCHUNGSTEXT - 1] == ("q", want), f"Buchungstext {get(BUCHUNGSTEXT)!r}")
    check(split_fields(bookings[0])[BELEGFELD1 - 1][1] == "RE-2026/01Ae", "Belegfeld cleaned")
    if failures:
        print("\n".join(failures))
        sys.exit(1)
    print(f"{len(bookings)} booking lines checked")


if __name__ == "__main__":
    main()
