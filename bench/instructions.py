#!/usr/bin/env python3
"""Counts instructions per conversion for each benchmark pair under callgrind.

Wall time on a shared machine is noisy; instruction counts are not. Each
benchmark runs twice with a fixed number of iterations, N and 2N, and the
difference of the two totals, divided by N iterations of 256 numbers, is
what one conversion costs, free of start-up work. For window_bench the same
gives what one keystroke costs (two per iteration: a digit and Backspace).
Usage: bench/instructions.py <engine_bench or window_bench binary>
"""
import os
import re
import subprocess
import sys

from ratios import TARGETS

NUMBERS = 256  # converted per iteration, as in EngineBench.cpp
ITERATIONS = 20
PAIRS = ["GetBin", "GetOct", "GetHex", "GetQuix", "GetDec", "NewBin", "NewOct", "NewHex",
         "NewQuix", "ReadDecimal", "Keystroke", "ModelKeystroke", "Keystroke128", "WriteBinary128",
         "ReadBinary128"]
# Each binary's items per iteration, iterations and pairs.
SUITES = {"engine_bench": (NUMBERS, ITERATIONS, PAIRS),
          "window_bench": (2, 100, ["WindowKeystroke", "WindowKeystrokeMath",
                                            "WindowKeystrokeFields",
                                            "WindowKeystrokeExpression"])}


def collected(binary, name, iterations):
    result = subprocess.run(
        ["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null", binary,
         f"--iterations={iterations}", f"--benchmark_filter=^{name}/"],
        capture_output=True, text=True, check=True,
        env=dict(os.environ, QT_HASH_SEED="0"))  # the same hashing, so the same count
    return int(re.search(r"Collected : (\d+)", result.stderr).group(1))


def per_conversion(binary, name, items, iterations):
    once = collected(binary, name, iterations)
    twice = collected(binary, name, 2 * iterations)
    return (twice - once) / (iterations * items)


def main(binary):
    items, iterations, pairs = SUITES.get(os.path.basename(binary), SUITES["engine_bench"])
    width = max(len(what) for what in pairs + ["pair"])
    print(f"{'pair':<{width}} {'bitlens Ir':>11} {'floor Ir':>9} {'ratio':>6}  target")
    for what in pairs:
        ours = per_conversion(binary, what + "/bitlens", items, iterations)
        floor = per_conversion(binary, what + "/floor", items, iterations)
        ratio = ours / floor
        target = TARGETS.get(what)
        verdict = f"<= {target:.1f} {'ok' if ratio <= target else 'MISSED'}" if target else ""
        print(f"{what:<{width}} {ours:11.1f} {floor:9.1f} {ratio:6.2f}  {verdict}", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
