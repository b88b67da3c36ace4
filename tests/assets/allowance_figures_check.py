#!/usr/bin/env python3
"""quandor-cli allowance add against an independent single-precision model:
durations of 2 to 20 years, purchase dates around leap days, amounts with
cents and above 16.7 million (where a float no longer holds every cent);
whole years and, with --monthly, month by month from the purchase month on
(purchase months 1 to 12), including the yearly items that follow."""
import calendar
import datetime
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
    return (1 if failures else 0) | monthly(run, rng)


def monthly_model(netto, years, bought):
    """First share, compensation, end date, last year's rest (floats in the program's order)."""
    rate = f32(netto / years)
    lt = time.localtime(bought)
    months = 13 - lt.tm_mon
    first = rate if months == 12 else f32(f32(rate * months) / 12)
    comp = f32(netto - first)
    # The day before the first of the purchase month, `years` years on, at the purchase's time of day.
    day = datetime.date(lt.tm_year + years, lt.tm_mon, 1) - datetime.timedelta(days=1)
    end = int(time.mktime((day.year, day.month, day.day, lt.tm_hour, lt.tm_min, lt.tm_sec, 0, 0, -1)))
    created, due = lt.tm_year, day.year
    rest = f32(netto - first)
    for _ in range(created + 1, due):
        rest = f32(rest - rate)
    return rate, first, comp, end, created, due, rest


def monthly(run, rng):
    failures, booked_years = 0, {"2024"}
    amounts = ["0,01", "1200", "999,99", "1000", "33,33", "16777217", "16777216,5", "98765432,1", "12345,67"]
    cases = 48
    for n in range(cases):
        years = 2 + (n * 7) % 19
        month = 1 + n % 12
        year = 2019 + n % 10  # 2020, 2024 and 2028 are leap years
        last = calendar.monthrange(year, month)[1]
        day = [1, 15, last][n % 3]
        date = f"{year}-{month:02d}-{day:02d}"
        amount = amounts[n % len(amounts)] if n < len(amounts) else f"{rng.randint(1, 30_000_000)},{rng.randint(0, 99):02d}"
        title = f"Monatlich {n}"
        item = json.loads(run("item", "add", "--year", "2024", "--statement", "Januar", "--kind", "expense",
                              "--amount", amount, "--title", title, "--date", date))["properties"]
        listed = json.loads(run("item", "list", "--year", "2024", "--statement", "Januar"))
        row = next(i for i, it in enumerate(listed, 1) if it["properties"]["title"] == title)
        rec = json.loads(run("allowance", "add", "--year", "2024", "--statement", "Januar", "--item", str(row),
                             "--years", str(years), "--monthly"))["properties"]
        netto = f32(-f32(item["expenseWithout"]))
        rate, first, comp, end, created, due, rest = monthly_model(netto, years, item["date"]["$date"])
        comp_items = [it["properties"] for it in json.loads(run("item", "list", "--year", "2024", "--statement", "Januar"))
                      if it["properties"]["title"] == f"Ausgl. Abschr. {title}"]
        checks = {
            "record": f32(rec["sumComplete"]) == netto and f32(rec["sumPerYear"]) == rate and rec["misc1"] == "monatsgenau",
            "end": rec["endDate"]["$date"] == end,
            "years": (rec["creationYear"], rec["dueYear"]) == (str(created), str(due)),
            "compensation": len(comp_items) == 1 and all(
                f32(comp_items[0][k]) == comp for k in ("expenseWith", "expenseWithout", "finalAmount", "finalAmountWithout")),
        }
        # The yearly items: the rate in a year in between, the rest in the last year.
        allowance = len(json.loads(run("allowance", "list")))
        for shown, want in ([(created + 1, rate)] if created + 1 < due else []) + [(due, rest)]:
            if str(shown) not in booked_years:
                run("year", "add", str(shown))
                run("statement", "add", "--year", str(shown), "Januar")
                booked_years.add(str(shown))
            got = json.loads(run("allowance", "book", "--allowance", str(allowance), "--year", str(shown),
                                 "--statement", "Januar"))["properties"]
            checks[f"item {shown}"] = f32(got["amount"]) == want and f32(got["expenseWithout"]) == f32(-want)
        if not all(checks.values()):
            failures += 1
            print(f"monthly case {n} ({amount}, {years} Jahre, {date}): {checks} got {rec} "
                  f"expected rate {rate} first {first} comp {comp} end {end} rest {rest}")
    print(f"{cases - failures} of {cases} monthly cases agree")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
