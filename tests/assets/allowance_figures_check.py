#!/usr/bin/env python3
"""quandor-cli allowance add against an independent single-precision model:
durations of 2 to 20 years, purchase dates around leap days, amounts with
cents and above 16.7 million (where a float no longer holds every cent)."""
import json
import random
import struct
import subprocess
import sys
import tempfile
import time


def f32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def main(cli):
    rng = random.Random(15)
    tmp = tempfile.mkdtemp()
    base = [cli, "--settings", f"{tmp}/s.conf", "--db", f"{tmp}/db.mdb", "--now", "2024-01-02T10:00:00Z"]

    def run(*args, ok=True):
        p = subprocess.run(base + list(args), capture_output=True, text=True)
        if ok and p.returncode != 0:
            sys.exit(f"{args}: {p.returncode} {p.stderr}")
        return p.stdout

    run("year", "add", "2024")
    run("statement", "add", "--year", "2024", "Januar")
    run("accounts", "load", "minimal", "--yes")
    dates = ["2020-02-29", "2019-03-01", "2024-01-01", "2023-12-31", "2021-06-15", "2028-02-28"]
    amounts = ["0,01", "100", "999,99", "1000", "33,33", "16777217", "16777216,5", "98765432,1", "12345,67"]
    failures = 0
    for n in range(40):
        years = 2 + n % 19
        date = dates[n % len(dates)]
        amount = amounts[n % len(amounts)] if n < len(amounts) else f"{rng.randint(1, 30_000_000)},{rng.randint(0, 99):02d}"
        item = json.loads(run("item", "add", "--year", "2024", "--statement", "Januar", "--kind", "expense",
                              "--amount", amount, "--title", f"Anlage {n}", "--date", date))["properties"]
        # The new item is the one of this date listed last: find its row.
        listed = json.loads(run("item", "list", "--year", "2024", "--statement", "Januar"))
        row = next(i for i, it in enumerate(listed, 1) if it["properties"]["title"] == f"Anlage {n}")
        rec = json.loads(run("allowance", "add", "--year", "2024", "--statement", "Januar", "--item", str(row),
                             "--years", str(years)))["properties"]
        netto = f32(-f32(item["expenseWithout"]))
        rate = f32(netto / years)
        comp = f32(netto - rate)
        bought = item["date"]["$date"]
        end = bought + years * 365 * 86400
        expect = {"sumComplete": netto, "sumPerYear": rate, "taxAmount": f32(item["taxFee"])}
        got = {k: f32(rec[k]) for k in expect}
        comp_items = [it["properties"] for it in json.loads(run("item", "list", "--year", "2024", "--statement", "Januar"))
                      if it["properties"]["title"] == f"Ausgl. Abschr. Anlage {n}"]
        checks = [
            got == expect,
            rec["endDate"]["$date"] == end,
            rec["creationYear"] == time.strftime("%Y", time.localtime(bought)),
            rec["dueYear"] == time.strftime("%Y", time.localtime(end)),
            len(comp_items) == 1 and all(f32(comp_items[0][k]) == comp for k in
                                         ("expenseWith", "expenseWithout", "finalAmount", "finalAmountWithout")),
        ]
        if not all(checks):
            failures += 1
            print(f"case {n} ({amount}, {years} Jahre, {date}): {checks} got {rec} expected {expect} comp {comp}")
    print(f"{40 - failures} of 40 agree")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
