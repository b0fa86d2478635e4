#!/usr/bin/env python3
"""`make bench`: Vantrel measured against the least that could do its job.

1. Paste cost on the host: build/bench/vantrel_bench (Google Benchmark, the
   real program on the simulated desktop) against memcpy of the same bytes.
2. Start-up under Wine: vantrel.exe against minimal.exe.
3. Hotkey to paste under Wine: the same two, pasting into pastetimer.exe.
4. Footprint: the exes' sizes and imports; Vantrel's memory after start and
   after many pastes, and its CPU time while idle.

Prints one table and writes it to build/bench.md. Every ratio compares two
figures taken side by side in this run. Expects the bench, win32 and win64
builds (the Makefile's `bench` target makes them first).
"""

import json
import os
import platform
import statistics
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
BUILD = os.path.join(ROOT, "build")
sys.path.insert(0, HERE)
import pe_imports  # noqa: E402
import wine_timings  # noqa: E402

SIZES = [1, 1 << 10, 64 << 10, 1 << 20, 16 << 20]
PASTE_TARGET = 3.0     # times a memcpy, from 64 KiB up
PASTE_TARGET_FROM = 64 << 10
WINE_TARGET = 1.2      # start-up and hotkey to paste, times the minimal program
STARTUP_PAIRS = 20
PRESSES = 200
REPETITIONS = 7
PASTES = 1000
IDLE_SECONDS = 10
# Resident memory moves by a few pages whatever the program does; a leak of the
# text would show as tens of megabytes after a thousand pastes of 64 KiB.
RSS_NOISE_KIB = 256


def size_name(n):
    for unit, name in ((1 << 20, "MiB"), (1 << 10, "KiB")):
        if n >= unit:
            return "%d %s" % (n // unit, name)
    return "%d B" % n


def duration(ns):
    for unit, name in ((1e6, "ms"), (1e3, "µs")):
        if ns >= unit:
            return "%.3g %s" % (ns / unit, name)
    return "%.3g ns" % ns


def rate(bytes_per_second):
    for unit, name in ((1e9, "GB/s"), (1e6, "MB/s"), (1e3, "kB/s")):
        if bytes_per_second >= unit:
            return "%.3g %s" % (bytes_per_second / unit, name)
    return "%.3g B/s" % bytes_per_second


def verdict(ok):
    return "met" if ok else "**not met**"


# -- 1. paste cost on the host ----------------------------------------------

def host_paste():
    out = os.path.join(BUILD, "bench", "paste.json")
    subprocess.run([os.path.join(BUILD, "bench", "vantrel_bench"),
                    "--benchmark_repetitions=%d" % REPETITIONS,
                    "--benchmark_enable_random_interleaving=true", "--benchmark_min_time=0.2", "--benchmark_report_aggregates_only=true",
                    "--benchmark_out=" + out, "--benchmark_out_format=json"],
                   check=True, stdout=subprocess.DEVNULL)
    with open(out) as f:
        data = json.load(f)
    medians = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        if b.get("error_occurred"):
            raise RuntimeError("%s: %s" % (b["run_name"], b.get("error_message")))
        kind, size = b["run_name"].split("/")
        scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]
        medians[(kind, int(size))] = {"cpu_ns": b["cpu_time"] * scale,
                                      "faults": b.get("faults", 0.0)}
    return medians


def paste_rows(medians):
    rows, ok = [], True
    for n in SIZES:
        paste, copy = medians[("Paste", n)], medians[("Memcpy", n)]
        ratio = paste["cpu_ns"] / copy["cpu_ns"]
        target = "≤ %g×" % PASTE_TARGET if n >= PASTE_TARGET_FROM else "—"
        met = ""
        if n >= PASTE_TARGET_FROM:
            met = verdict(ratio <= PASTE_TARGET)
            ok = ok and ratio <= PASTE_TARGET
        rows.append(["1 paste (host)", "paste of %s" % size_name(n),
                     "%s, %s" % (duration(paste["cpu_ns"]), rate(n / paste["cpu_ns"] * 1e9)),
                     "memcpy %s, %s" % (duration(copy["cpu_ns"]), rate(n / copy["cpu_ns"] * 1e9)),
                     "%.2f×" % ratio, target, met])
    small, big = PASTE_TARGET_FROM, SIZES[-1]
    paste_growth = medians[("Paste", big)]["cpu_ns"] / medians[("Paste", small)]["cpu_ns"]
    copy_growth = medians[("Memcpy", big)]["cpu_ns"] / medians[("Memcpy", small)]["cpu_ns"]
    linear = paste_growth <= copy_growth * 1.5
    rows.append(["1 paste (host)", "growth %s → %s (%d× the bytes)"
                 % (size_name(small), size_name(big), big // small),
                 "×%.0f" % paste_growth, "memcpy ×%.0f" % copy_growth,
                 "%.2f×" % (paste_growth / copy_growth), "linear, as memcpy", verdict(linear)])
    faults = max(medians[("Paste", n)]["faults"] for n in SIZES)
    rows.append(["1 paste (host)", "page faults per paste (largest)", "%.2g" % faults,
                 "memcpy %.2g" % max(medians[("Memcpy", n)]["faults"] for n in SIZES), "", "", ""])
    return rows, ok and linear


# -- 2.-4. under Wine, and the exes ------------------------------------------

def wine_rows(wine):
    rows = []
    startup = wine["startup"]
    v, m = statistics.median(startup["vantrel"]), statistics.median(startup["minimal"])
    startup_ok = v / m <= WINE_TARGET
    rows.append(["2 start-up (Wine)", "process start → window shown, median of %d"
                 % len(startup["vantrel"]), "%.0f ms" % (v * 1e3), "minimal %.0f ms" % (m * 1e3),
                 "%.2f" % (v / m), "≤ %g" % WINE_TARGET, verdict(startup_ok)])
    (vt, vbad), (mt, mbad) = wine["hotkey"]["vantrel"], wine["hotkey"]["minimal"]
    v, m = statistics.median(vt), statistics.median(mt)
    hotkey_ok = v / m <= WINE_TARGET and not vbad
    rows.append(["3 hotkey to paste (Wine)", "key down → text read back, median of %d, "
                 "presses alternating" % len(vt),
                 "%.2f ms (%d failed)" % (v / 1e3, vbad), "minimal %.2f ms (%d failed)"
                 % (m / 1e3, mbad), "%.2f" % (v / m), "≤ %g" % WINE_TARGET, verdict(hotkey_ok)])
    fv, fm = wine["footprint"]["vantrel"], wine["footprint"]["minimal"]
    rows.append(["4 footprint (Wine)", "resident memory after start", "%d KiB" % fv["rss_start"],
                 "minimal %d KiB" % fm["rss_start"], "%.2f" % (fv["rss_start"] / fm["rss_start"]),
                 "", ""])
    growth = fv["rss_after_more"] - fv["rss_after_first"]
    pasted = fv["pasted_more"]
    rss_ok = growth <= RSS_NOISE_KIB and fv["failed_more"] == 0
    rows.append(["4 footprint (Wine)", "resident memory after 1 paste of 64 KiB, then after %d more"
                 % pasted, "%d KiB → %d KiB (%+d KiB)"
                 % (fv["rss_after_first"], fv["rss_after_more"], growth),
                 "after start %d KiB" % fv["rss_start"], "", "± %d KiB" % RSS_NOISE_KIB,
                 verdict(rss_ok)])
    idle_ok = fv["idle_ticks_background"] == 0
    tick = "ticks of 1/%d s" % os.sysconf("SC_CLK_TCK")
    rows.append(["4 footprint (Wine)", "CPU time idle for %d s in the background, another "
                 "program in front (%s)" % (IDLE_SECONDS, tick), "%d" % fv["idle_ticks_background"],
                 "minimal %d" % fm["idle_ticks_background"], "", "0", verdict(idle_ok)])
    rows.append(["4 footprint (Wine)", "CPU time idle for %d s in front, a box focused: its "
                 "caret blinks (%s)" % (IDLE_SECONDS, tick), "%d" % fv["idle_ticks_front"],
                 "minimal %d (no text box)" % fm["idle_ticks_front"], "", "", ""])
    return rows, {"startup": startup_ok, "hotkey": hotkey_ok, "memory": rss_ok, "idle": idle_ok}


def exe_rows():
    rows = []
    for arch in ("win32", "win64"):
        v = os.path.join(BUILD, arch, "vantrel.exe")
        m = os.path.join(BUILD, arch, "minimal.exe")
        vs, ms = os.path.getsize(v), os.path.getsize(m)
        rows.append(["4 footprint", "size of the %s exe" % arch, "%.1f KiB" % (vs / 1024),
                     "minimal %.1f KiB" % (ms / 1024), "%.2f" % (vs / ms), "", ""])
        vi, mi = pe_imports.imports(v), pe_imports.imports(m)

        def listing(imports):
            return ", ".join("%s %d" % (dll, len(fns)) for dll, fns in sorted(imports.items()))
        rows.append(["4 footprint", "imports of the %s exe (functions per DLL)" % arch,
                     listing(vi), "minimal " + listing(mi), "", "", ""])
    return rows


def table(rows):
    head = ["part", "figure", "Vantrel", "yardstick", "ratio", "target", "target met"]
    lines = ["| " + " | ".join(head) + " |", "|" + "---|" * len(head)]
    lines += ["| " + " | ".join(r) + " |" for r in rows]
    return "\n".join(lines)


def main():
    started = time.monotonic()
    print("1/3 paste cost on the host (Google Benchmark) ...", flush=True)
    paste, paste_ok = paste_rows(host_paste())
    print("2/3 start-up, hotkey to paste, memory and idle CPU under Wine ...", flush=True)
    wine = wine_timings.measure(startup_pairs=STARTUP_PAIRS, presses=PRESSES,
                                idle_seconds=IDLE_SECONDS, pastes=PASTES)
    wine_part, wine_ok = wine_rows(wine)
    print("3/3 the exes ...", flush=True)
    rows = paste + wine_part[:2] + exe_rows() + wine_part[2:]
    note = ("Measured %s on %s (%d cores), %.0f s. Host figures are CPU time, median of %d "
            "interleaved repetitions; Wine figures are wall time, medians over alternating runs."
            % (time.strftime("%Y-%m-%d"), platform.platform(), os.cpu_count(),
               time.monotonic() - started, REPETITIONS))
    text = table(rows) + "\n\n" + note + "\n"
    with open(os.path.join(BUILD, "bench.md"), "w") as f:
        f.write(text)
    with open(os.path.join(BUILD, "bench", "wine.json"), "w") as f:
        json.dump(wine, f, indent=1)
    print()
    print(text)
    verdicts = dict(paste=paste_ok, **wine_ok)
    missed = [name for name, ok in verdicts.items() if not ok]
    print("targets not met: " + ", ".join(missed) if missed else "all targets met")


if __name__ == "__main__":
    main()
