#!/usr/bin/env python3
"""Counts instructions per conversion for each benchmark pair under callgrind.

Wall time on a shared machine is noisy; instruction counts are not. Each
benchmark runs twice with a fixed number of iterations, N and 2N, and the
difference of the two totals, divided by N iterations of 256 numbers, is
what one conversion costs, free of start-up work.
Usage: bench/instructions.py <engine_bench binary>
"""
import re
import subprocess
import sys

from ratios import TARGETS

NUMBERS = 256  # converted per iteration, as in EngineBench.cpp
ITERATIONS = 20
PAIRS = ["GetBin", "GetOct", "GetHex", "GetQuix", "GetDec", "NewBin", "NewOct", "NewHex",
         "NewQuix", "ReadDecimal", "Keystroke"]


def collected(binary, name, iterations):
    result = subprocess.run(
        ["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null", binary,
         f"--iterations={iterations}", f"--benchmark_filter=^{name}/"],
        capture_output=True, text=True, check=True)
    return int(re.search(r"Collected : (\d+)", result.stderr).group(1))


def per_conversion(binary, name):
    once = collected(binary, name, ITERATIONS)
    twice = collected(binary, name, 2 * ITERATIONS)
    return (twice - once) / (ITERATIONS * NUMBERS)


def main(binary):
    print(f"{'pair':<12} {'bitlens Ir':>11} {'floor Ir':>9} {'ratio':>6}  target")
    for what in PAIRS:
        ours = per_conversion(binary, what + "/bitlens")
        floor = per_conversion(binary, what + "/floor")
        ratio = ours / floor
        target = TARGETS.get(what)
        verdict = f"<= {target:.1f} {'ok' if ratio <= target else 'MISSED'}" if target else ""
        print(f"{what:<12} {ours:11.1f} {floor:9.1f} {ratio:6.2f}  {verdict}", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
