#!/usr/bin/env python3
"""Runs one golden case of quandor-cli.

A case file is a sequence of steps:

    $ quandor-cli ARGS…        the command ({data} = tests/data, {tmp} = a fresh folder, {cli} = the binary,
                               {fixtures} = the keyed-archive samples)
    expected stdout lines …    exactly, byte for byte
    ! expected stderr line     (optional, in order)
    ? EXIT                     expected exit code; ends the step

Lines starting with "#" before a step are comments. With --update the expected
output of every step is rewritten from what the program printed (only when asked);
the comments stay where they are.
"""
import os
import shlex
import subprocess
import sys
import tempfile


def parse(path):
    steps, cur, comments = [], None, []
    with open(path, encoding="utf-8") as f:
        for raw in f.read().split("\n"):
            if cur is None:
                if raw.startswith("#"):
                    comments.append(raw)  # kept with the next step when updating
                if raw.startswith("$ "):
                    cur = {"cmd": raw[2:], "out": [], "err": [], "exit": None, "comments": comments}
                    comments = []
                elif raw.strip() and not raw.startswith("#"):
                    raise SystemExit(f"{path}: unexpected line outside a step: {raw!r}")
                continue
            if raw.startswith("? "):
                cur["exit"] = int(raw[2:])
                steps.append(cur)
                cur = None
            elif raw.startswith("! "):
                cur["err"].append(raw[2:])
            else:
                cur["out"].append(raw)
    if cur is not None:
        raise SystemExit(f"{path}: last step has no '? EXIT' line")
    return steps


def main():
    update = "--update" in sys.argv
    args = [a for a in sys.argv[1:] if a != "--update"]
    cli, case, data = os.path.abspath(args[0]), args[1], os.path.abspath(args[2])
    steps = parse(case)
    failures = 0
    with tempfile.TemporaryDirectory(prefix="quandor-cli-") as tmp:
        env = dict(os.environ)
        env["HOME"] = tmp  # never touch the real home folder
        env["XDG_CONFIG_HOME"] = os.path.join(tmp, ".config")
        env["XDG_DATA_HOME"] = os.path.join(tmp, ".local/share")
        env["LC_ALL"] = "C.UTF-8"
        env["QT_QPA_PLATFORM"] = "offscreen"
        fixtures = os.path.join(data, "keyed-archive")
        for step in steps:
            cmd = step["cmd"].format(data=data, tmp=tmp, fixtures=fixtures, cli=os.path.abspath(cli))
            words = shlex.split(cmd)
            if words[0] == "quandor-cli":
                words[0] = cli
            p = subprocess.run(words, capture_output=True, env=env, cwd=tmp, timeout=300)
            out = p.stdout.decode("utf-8", "replace")
            err = p.stderr.decode("utf-8", "replace")
            # Expected texts may name the fresh folder as {tmp}.
            expected_out = ("\n".join(step["out"]) + ("\n" if step["out"] else "")).replace("{tmp}", tmp)
            expected_err = ("\n".join(step["err"]) + ("\n" if step["err"] else "")).replace("{tmp}", tmp)
            ok = out == expected_out and err == expected_err and p.returncode == step["exit"]
            if update:
                step["out"] = out.replace(tmp, "{tmp}").rstrip("\n").split("\n") if out else []
                step["err"] = err.replace(tmp, "{tmp}").rstrip("\n").split("\n") if err else []
                step["exit"] = p.returncode
            elif not ok:
                failures += 1
                print(f"FAIL: {step['cmd']}")
                print(f"  exit {p.returncode}, expected {step['exit']}")
                print("  stdout:\n" + out + "  expected:\n" + expected_out)
                print("  stderr:\n" + err + "  expected:\n" + expected_err)
    if update:
        with open(case, "w", encoding="utf-8") as f:
            for step in steps:
                for line in step["comments"]:
                    f.write(line + "\n")
                f.write("$ " + step["cmd"] + "\n")
                for line in step["out"]:
                    f.write(line + "\n")
                for line in step["err"]:
                    f.write("! " + line + "\n")
                f.write(f"? {step['exit']}\n")
                if step is not steps[-1]:
                    f.write("\n")
        print(f"updated {case}")
        return 0
    print(f"{len(steps) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
