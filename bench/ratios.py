#!/usr/bin/env python3
"""Prints bitlens time over floor time for each benchmark pair.

Reads Google Benchmark's JSON output (--benchmark_out). Each pair is
<what>/bitlens and <what>/floor; with repetitions, the medians are used.
Times are per converted number, or per keystroke for the window's pairs,
which also carry allocations and layout passes per keystroke.
"""
import json
import sys

# Ratios the engine aims to stay within; pairs not listed have no target.
TARGETS = {"Keystroke": 1.5, "Keystroke128": 2.0, "GetBin": 2.0, "GetOct": 2.0, "GetHex": 2.0, "GetQuix": 2.0,
           "GetDec": 2.0, "WindowKeystroke": 1.2, "WindowKeystrokeMath": 1.1,
           "WindowKeystrokeFields": 1.2,
           "WindowKeystrokeExpression": 1.2}


def per_item_ns(runs):
    medians = [r for r in runs if r.get("aggregate_name") == "median"]
    chosen = medians or [r for r in runs if r.get("run_type", "iteration") == "iteration"]
    return sum(1e9 / r["items_per_second"] for r in chosen) / len(chosen)


def counter(runs, name):
    chosen = [r for r in runs if r.get("aggregate_name") == "median"] or runs
    values = [r[name] for r in chosen if name in r]
    return sum(values) / len(values) if values else None


def main(path):
    with open(path) as f:
        report = json.load(f)
    runs = {}
    for run in report["benchmarks"]:
        runs.setdefault(run["run_name"], []).append(run)
    pairs = []
    for name in runs:
        what, _, side = name.partition("/")
        if side == "bitlens" and what + "/floor" in runs:
            pairs.append((what, per_item_ns(runs[name]), per_item_ns(runs[what + "/floor"])))

    missed = 0
    width = max([12] + [len(what) for what, _, _ in pairs])
    print(f"{'pair':<{width}} {'bitlens ns':>11} {'floor ns':>9} {'ratio':>6}  target")
    for what, ours, floor in pairs:
        ratio = ours / floor
        target = TARGETS.get(what)
        verdict = ""
        if target is not None:
            ok = ratio <= target
            missed += not ok
            verdict = f"<= {target:.1f} {'ok' if ok else 'MISSED'}"
        print(f"{what:<{width}} {ours:11.1f} {floor:9.1f} {ratio:6.2f}  {verdict}")
    counted = [what for what, _, _ in pairs if counter(runs[what + "/bitlens"], "allocs") is not None]
    if counted:
        print(f"{'per keystroke':<{width}} {'allocations':>19} {'layout passes':>15}")
        print(f"{'':<{width}} {'bitlens':>9} {'floor':>9} {'bitlens':>7} {'floor':>7}")
        for what in counted:
            ours, floor = runs[what + "/bitlens"], runs[what + "/floor"]
            print(f"{what:<{width}} {counter(ours, 'allocs'):9.1f} {counter(floor, 'allocs'):9.1f}"
                  f" {counter(ours, 'layouts'):7.2f} {counter(floor, 'layouts'):7.2f}")
    for name, measured in runs.items():
        history = counter(measured, "history_bytes")
        if history is not None:
            per_step = counter(measured, "bytes_per_step")
            print(f"{name}: 1000 undo steps hold {history / 1024:.0f} KiB"
                  f" ({per_step:.0f} bytes a step)")
    if missed:
        print(f"{missed} pair(s) above target")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
