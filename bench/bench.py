#!/usr/bin/env python3
"""Runs the benchmark driver under Wine, prints one table of Tapwren beside its yardsticks (the plain
repeater and the work floor) with the ratios, and writes the raw samples' summary as CSV and a picture
of the cadence as PNG. Usage: bench.py BUILD_DIR OUT_DIR [driver arguments]."""
import csv
import os
import platform
import statistics
import subprocess
import sys
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

PROGRAMS = ["Tapwren", "PlainRepeater", "WorkFloor"]
# The Wine that runs the chosen build (bench/run.sh sets it, with the build's name).
WINE = os.environ.get("TAPWREN_WINE", "wine")
COLUMNS = {"Tapwren": "Tapwren", "PlainRepeater": "plain repeater", "WorkFloor": "work floor"}


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(p / 100 * (len(ordered) - 1))))]


def run_driver(build, args):
    samples, failures = {}, []
    driver = subprocess.Popen([WINE, str(build / "tapwren_bench.exe"), *args], stdout=subprocess.PIPE, text=True)
    for line in driver.stdout:
        parts = line.strip().split(",")
        if len(parts) == 4 and parts[0] == "FAILED":
            failures.append(parts[1:])
        elif len(parts) == 3:
            samples.setdefault((parts[0], parts[1]), []).append(float(parts[2]))
    driver.wait()
    return samples, failures, driver.returncode


def median(samples, figure, program):
    values = samples.get((figure, program))
    return statistics.median(values) if values else None


def table_rows(samples, exe_bytes):
    def cells(figure, programs=PROGRAMS, pick=median):
        return [pick(samples, figure, p) if p in programs else None for p in PROGRAMS]

    def ratio(a, b):
        return a / b if a is not None and b else None

    def nth(samples, figure, program, n=99):
        values = samples.get((figure, program), [])
        return values[n] if len(values) > n else None

    rows = []
    startup = cells("startup_ms", ["Tapwren", "WorkFloor"])
    rows.append(("start-up to dialog visible, median (ms)", startup, ratio(startup[0], startup[2]), "<= 1.05"))
    exit_idle = cells("exit_idle_ms", ["Tapwren", "WorkFloor"])
    rows.append(("exit after WM_CLOSE, idle, median (ms)", exit_idle, ratio(exit_idle[0], exit_idle[2]), "<= 1.05"))
    exit_pausing = [median(samples, "exit_pausing_ms", "Tapwren"), None, exit_idle[2]]
    rows.append(("exit in the middle of a pause, median (ms)", exit_pausing, ratio(exit_pausing[0], exit_pausing[2]),
                 "<= 1.05"))
    rows.append(("idle CPU (% of a core over 10 s)", cells("idle_cpu_percent", ["Tapwren", "PlainRepeater"]), None,
                 "0.0"))
    rows.append(("CPU while a press waits for a held Ctrl (% over 10 s)", cells("held_modifier_cpu_percent", ["Tapwren"]),
                 None, "0.0"))
    rows.append(("CPU in a pause of 2147483647 ms (% over 5 s)", cells("longest_pause_cpu_percent", ["Tapwren"]), None,
                 "0.0"))
    rows.append(("100th press at interval 20 against its nominal time (ms)",
                 cells("press_error_ms_20", ["Tapwren", "PlainRepeater"], nth), None, "within 0.5"))
    for interval in (20, 250, 1000):
        rows.append((f"period error at interval {interval}, median (ms)",
                     cells(f"period_error_ms_{interval}", ["Tapwren", "PlainRepeater"]), None, "within 0.1"))
    rows.append(("hold of the first press after start-up, median (ms)",
                 cells("first_hold_ms", ["Tapwren", "PlainRepeater"]), None, "100 +- 1"))
    rows.append(("first press after the hotkey's Ctrl is let go (held 250 ms), median (ms)",
                 cells("first_press_after_release_ms", ["Tapwren"]), None, ""))
    rows.append(("hold of every later press, median (ms)", cells("hold_ms", ["Tapwren", "PlainRepeater"]), None,
                 "100 +- 0.1"))
    rows.append(("size of Tapwren.exe (bytes)", [exe_bytes, None, None], None, ""))
    return rows


def fmt(value):
    if value is None:
        return ""
    if abs(value) >= 10000:
        return f"{value:,.0f}"
    return f"{value:.2f}"


def draw(samples, path):
    fig, (cadence, holds) = plt.subplots(1, 2, figsize=(11, 4))
    for program, colour in (("Tapwren", "tab:blue"), ("PlainRepeater", "tab:orange")):
        errors = samples.get(("press_error_ms_20", program), [])
        cadence.plot(range(1, len(errors) + 1), errors, ".-", color=colour, label=COLUMNS[program], markersize=3)
        values = samples.get(("hold_ms", program), [])
        if values:
            holds.hist(values, bins=40, range=(98, 104), color=colour, alpha=0.6, label=COLUMNS[program])
    cadence.set_title("Interval 20 ms: each press against its nominal time")
    cadence.set_xlabel("press")
    cadence.set_ylabel("late by (ms)")
    cadence.legend()
    holds.set_title("Hold of each press")
    holds.set_xlabel("key down to key up (ms)")
    holds.set_ylabel("presses")
    holds.legend()
    fig.tight_layout()
    fig.savefig(path, dpi=100)


def main():
    build, out_dir = Path(sys.argv[1]), Path(sys.argv[2])
    samples, failures, code = run_driver(build, sys.argv[3:])
    exe_bytes = (build / "Tapwren.exe").stat().st_size
    rows = table_rows(samples, exe_bytes)

    machine = f"{os.cpu_count()} cores {platform.machine()}, {platform.platform()}"
    wine = subprocess.run([WINE, "--version"], capture_output=True, text=True).stdout.strip()
    machine = f"{os.environ['TAPWREN_ARCH']} build ({os.environ['TAPWREN_BUILD_NAME']}) on {machine}"
    print(f"Measured: {machine}; {wine}. Under Wine, waits are not rounded to the 15.6 ms timer tick.")
    header = ["figure", COLUMNS["Tapwren"], COLUMNS["PlainRepeater"], COLUMNS["WorkFloor"], "Tapwren / floor", "goal"]
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for name, values, ratio, goal in rows:
        print("| " + " | ".join([name] + [fmt(v) for v in values] + [fmt(ratio), goal]) + " |")

    out_dir.mkdir(parents=True, exist_ok=True)
    with open(out_dir / "bench.csv", "w", newline="") as f:
        writer = csv.writer(f)
        writer.writerow(["figure", "program", "median", "p95", "n", "machine"])
        for (figure, program), values in sorted(samples.items()):
            writer.writerow([figure, program, f"{statistics.median(values):.3f}", f"{percentile(values, 95):.3f}",
                             len(values), f"{machine}; {wine}"])
        writer.writerow(["exe_bytes", "Tapwren", exe_bytes, exe_bytes, 1, f"{machine}; {wine}"])
    draw(samples, out_dir / "cadence.png")
    print(f"CSV: {out_dir / 'bench.csv'}; picture: {out_dir / 'cadence.png'}")
    for figure, program, cause in failures:
        print(f"FAILED: {figure} of {program}: {cause}", file=sys.stderr)
    return code or (1 if failures else 0)


if __name__ == "__main__":
    sys.exit(main())
