#!/usr/bin/env python3
"""Checks that `quandor-cli item add` stores exactly the figures an independent
single-precision computation gives.

Every operation of the item's tax arithmetic is rounded to a 32-bit float here
with struct (a double result of one +, -, * or / rounded to float is the
correctly rounded float result), in the program's order:
  p = A * 100; q = 100 + r; n = p / q; T = A - n; M = A - A * 2
and the stored keys are compared bit for bit with what the command printed.
All commands run as one `quandor-cli batch` in a single process.

    item_figures_check.py QUANDOR_CLI
"""
import json
import os
import struct
import subprocess
import sys
import tempfile


def f32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def bits(x):
    return struct.pack("<f", x).hex()


def parse_amount(text):
    """German money text ("1.234,56") or a plain "." decimal point."""
    t = text.strip()
    if "," in t:
        t = t.replace(".", "").replace(",", ".")
    return f32(float(t))


def expected(kind, amount_text, vat, tag, rates):
    a = parse_amount(amount_text)
    r = f32(rates.get(tag, 0.0)) if tag in (1, 2, 3) else 0.0
    t = 0.0
    if vat:
        p = f32(a * 100.0)
        q = f32(100.0 + r)
        n = f32(p / q)
        t = f32(a - n)
    m = f32(a - f32(a * 2.0))
    e = {k: 0.0 for k in ("taxFee", "taxFeeGet", "taxFeePay", "incomeWith", "incomeWithout",
                          "expenseWith", "expenseWithout")}
    e["taxPerecent"] = r if vat else 0.0
    e["taxTag"] = tag if vat else 0
    e["taxFee"] = t if vat else 0.0
    if kind == "expense":
        e["image"] = "miniItemRedTax" if vat else "miniItemRed"
        e["taxFeeGet"] = t if vat else 0.0
        e["expenseWith"] = m
        e["expenseWithout"] = f32(m + t) if vat else m
        e["finalAmount"] = e["finalAmountWith"] = m
        e["finalAmountWithout"] = e["expenseWithout"]
    else:
        e["image"] = "miniItemGreenTax" if vat else "miniItemGreen"
        e["taxFeePay"] = t if vat else 0.0
        e["incomeWith"] = a
        e["incomeWithout"] = f32(a - t) if vat else a
        e["finalAmount"] = e["finalAmountWith"] = a
        e["finalAmountWithout"] = e["incomeWithout"]
    e["amount"] = a
    return e


AMOUNTS = ["119", "100", "107", "0.01", "1", "19,99", "1.234,56", "-119", "-0.5", "99999.99",
           "167772.17", "3333.33", "0.07", "2500", "16777217", "12345678.9"]


def cases():
    # (settings to set before, kind, amount, vat, tag)
    out = []
    for kind in ("income", "expense"):
        for amount in AMOUNTS:
            for vat, tag in ((False, 0), (False, 2), (True, 1), (True, 2), (True, 3), (True, 4), (True, 5)):
                if vat and parse_amount(amount) == 0.0:
                    continue
                out.append((kind, amount, vat, tag))
    return out


def main():
    cli = os.path.abspath(sys.argv[1])
    failures = 0
    checked = 0
    with tempfile.TemporaryDirectory(prefix="quandor-figures-") as tmp:
        env = dict(os.environ, HOME=tmp, XDG_CONFIG_HOME=os.path.join(tmp, ".config"),
                   XDG_DATA_HOME=os.path.join(tmp, ".local/share"), LC_ALL="C.UTF-8",
                   QT_QPA_PLATFORM="offscreen")
        # Every command goes into one batch, run in one process; each line that
        # prints a record is matched with what it should print.
        lines, checks = [], []

        def command(*args, check=None):
            lines.append(json.dumps(list(args)))
            if check is not None:
                checks.append(check)

        command("year", "add", "2024", check=("skip",))
        command("statement", "add", "--year", "2024", "Mai", check=("skip",))
        # Rates: the defaults first (19, 7, rate 3 unset), then changed ones.
        rate_sets = [
            ({1: 19.0, 2: 7.0, 3: 0.0}, []),
            ({1: 16.0, 2: 5.0, 3: 0.0}, [("prefs1Rate", "16"), ("prefs2Rate", "5")]),
            ({1: 16.0, 2: 5.0, 3: 10.7}, [("prefs3Rate", "10.7")]),
        ]
        for rates, settings in rate_sets:
            for key, value in settings:
                command("settings", "set", key, value, "--type", "float")
            for kind, amount, vat, tag in cases():
                args = ["item", "add", "--year", "2024", "--statement", "Mai", "--kind", kind,
                        "--amount", amount, "--title", "Prüfung"]
                if vat:
                    args.append("--vat")
                args += ["--rate", str(tag)]
                command(*args, check=("figures", kind, amount, vat, tag, rates))
        # The worked examples, as the person reads them.
        command("settings", "set", "prefs1Rate", "19", "--type", "float")
        command("settings", "set", "prefs2Rate", "7", "--type", "float")
        examples = [
            (("income", "119", "1"), {"taxFee": 19.0, "incomeWithout": 100.0, "taxFeePay": 19.0}),
            (("expense", "119", "1"), {"taxFeeGet": 19.0, "expenseWith": -119.0, "expenseWithout": -100.0}),
            (("income", "100", "1"), {"taxFee": f32(15.966385), "incomeWithout": f32(84.033615)}),
            (("income", "107", "2"), {"taxFee": 7.0}),
            (("income", "500", "4"), {"taxFee": 0.0, "incomeWithout": 500.0}),
            (("income", "167772.17", "5"), {"taxFee": -0.015625}),
            (("income", "-119", "1"), {"taxFee": -19.0, "incomeWithout": -100.0, "taxFeePay": -19.0}),
        ]
        for (kind, amount, tag), want in examples:
            command("item", "add", "--year", "2024", "--statement", "Mai", "--kind", kind, "--amount",
                    amount, "--title", "Beispiel", "--vat", "--rate", tag,
                    check=("example", kind, amount, tag, want))
        command("item", "list", "--year", "2024", "--statement", "Mai", check=("list",))

        batch = os.path.join(tmp, "befehle.txt")
        with open(batch, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        p = subprocess.run([cli, "--settings", os.path.join(tmp, "s.conf"), "--db",
                            os.path.join(tmp, "db.mdb"), "--locale", "de_DE", "batch", batch],
                           capture_output=True, env=env, timeout=600)
        if p.returncode != 0:
            raise SystemExit(f"batch: exit {p.returncode}: {p.stderr.decode()}")
        outputs = p.stdout.decode().splitlines()
        if len(outputs) != len(checks):
            raise SystemExit(f"{len(outputs)} lines printed, {len(checks)} expected")
        for check, out in zip(checks, outputs):
            if check[0] == "figures":
                _, kind, amount, vat, tag, rates = check
                props = json.loads(out)["properties"]
                want = expected(kind, amount, vat, tag, rates)
                checked += 1
                for key, value in want.items():
                    got = props.get(key)
                    if key == "image":
                        ok = got == {"$icon": value}
                    elif key == "taxTag":
                        ok = got == value
                    else:
                        ok = isinstance(got, float) and bits(f32(got)) == bits(value)
                    if not ok:
                        failures += 1
                        print(f"FAIL {kind} {amount!r} vat={vat} tag={tag} rates={rates}: {key} = {got!r}, "
                              f"expected {value!r}")
            elif check[0] == "example":
                _, kind, amount, tag, want = check
                props = json.loads(out)["properties"]
                checked += 1
                for key, value in want.items():
                    if f32(props[key]) != value:
                        failures += 1
                        print(f"FAIL example {kind} {amount} tag {tag}: {key} = {props[key]!r}, "
                              f"expected {value!r}")
            elif check[0] == "list":
                listed = json.loads(out)
                if len(listed) != checked:
                    failures += 1
                    print(f"FAIL: {len(listed)} items listed, {checked} added")
    print(f"{checked} items checked, {failures} differences")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
