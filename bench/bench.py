#!/usr/bin/env python3
"""Runs the benchmark driver under Wine, samples Tapwren's CPU time from /proc while it idles, and
prints a table of median, 95th percentile and sample count per figure; writes the same as CSV."""
import csv
import os
import platform
import statistics
import subprocess
import sys
import time
from pathlib import Path

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS  # utime and stime: fields 14 and 15


def tapwren_pid():
    out = subprocess.run(["pgrep", "-f", "bench-repeat.Tapwren.exe"], capture_output=True, text=True).stdout.split()
    return int(out[0]) if out else None


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(p / 100 * (len(ordered) - 1))))]


def main():
    build, out_dir = Path(sys.argv[1]), Path(sys.argv[2])
    args = sys.argv[3:]
    samples = {}
    driver = subprocess.Popen(["wine", str(build / "tapwren_bench.exe"), *args], stdout=subprocess.PIPE, text=True)
    idle = None
    for line in driver.stdout:
        line = line.strip()
        if line == "# idle-start":
            pid = tapwren_pid()
            idle = (pid, cpu_seconds(pid), time.monotonic()) if pid else None
        elif line == "# idle-end" and idle:
            pid, before, started = idle
            used = cpu_seconds(pid) - before
            samples["idle_cpu_percent_of_core"] = [100 * used / (time.monotonic() - started)]
        elif "," in line and not line.startswith("#"):
            figure, value = line.split(",", 1)
            samples.setdefault(figure, []).append(float(value))
    driver.wait()

    exe_size = (build / "Tapwren.exe").stat().st_size
    samples["exe_bytes"] = [exe_size]
    rows = []
    for figure, values in samples.items():
        rows.append((figure, statistics.median(values), percentile(values, 95), len(values)))
    for ratio, (figure, base) in {"startup_ratio": ("startup_ms", "minimal_startup_ms"),
                                  "exit_idle_ratio": ("exit_idle_ms", "minimal_exit_ms"),
                                  "exit_pausing_ratio": ("exit_pausing_ms", "minimal_exit_ms"),
                                  "exit_idle_ratio_to_minimal_with_tray_icon": (
                                      "exit_idle_ms", "minimal_with_tray_icon_exit_ms")}.items():
        if figure in samples and base in samples:
            value = statistics.median(samples[figure]) / statistics.median(samples[base])
            rows.append((ratio, value, value, len(samples[figure])))

    machine = f"{platform.node()} {platform.machine()}, {os.cpu_count()} cores, {platform.platform()}"
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    print(f"Machine: {machine}; {wine}. Timings under Wine are finer than on Windows, where waits")
    print("round to the 15.6 ms timer tick unless a high-resolution timer is available.")
    print(f"{'figure':34} {'median':>12} {'p95':>12} {'n':>5}")
    for figure, median, p95, n in rows:
        print(f"{figure:34} {median:12.3f} {p95:12.3f} {n:5d}")
    out_dir.mkdir(parents=True, exist_ok=True)
    with open(out_dir / "bench.csv", "w", newline="") as f:
        writer = csv.writer(f)
        writer.writerow(["figure", "median", "p95", "n", "machine"])
        for row in rows:
            writer.writerow([row[0], f"{row[1]:.3f}", f"{row[2]:.3f}", row[3], machine])
    print(f"CSV: {out_dir / 'bench.csv'}")
    return driver.returncode


if __name__ == "__main__":
    sys.exit(main())
