#!/usr/bin/env python3
"""Start-up of bitlens against a bare Qt window with the same widgets.

Both programs run with the start-up probe preloaded (bench/StartupProbe.cpp),
which ends each one as soon as its first window has been exposed and painted.
Wall time from spawn to exit and peak resident memory (wait4's ru_maxrss) are
taken over alternating runs; the medians are compared. The CPU time (user
and system, from wait4 too) is shown beside them: unlike wall time, it hardly
moves when other work shares the machine. The bare window gets
the converter window's widget counts, read from its window description.
Runs on the offscreen platform, and under Xvfb too where Xvfb is installed.
With --instructions, one run of each under callgrind also counts the
instructions to the first window, which load on the machine cannot move.

Under Xvfb, resident memory is also taken as a user's machine holds it:
300 ms after the first window was exposed, with the event loop running all
the while, so that the work put off past the first paint has run, and with
a session bus of the script's own (dbus-daemon), as a desktop session has.

With --panels, bitlens is also started as a window left with the math area
open and both panels shown restores itself, and its figures are shown beside
the default start's, against the same bare window.

Each program starts with configuration, data and state folders of its own,
empty: a window state left by the user's own Bitlens is never restored.

Usage: bench/startup.py BITLENS BARE_WINDOW PROBE UI_FILE [--runs N] [--instructions] [--panels]
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET

TARGETS = {"wall time": 1.15, "peak RSS": 1.10, "RSS 300 ms": 1.10}
WARM_UP = 3
SETTLE_MS = 300


def widget_counts(ui_file):
    """The bare window's arguments: widget counts of the window description."""
    root = ET.parse(ui_file).getroot()
    # A promoted widget is counted as the Qt class it extends: the bare
    # window builds that class.
    extends = {custom.findtext("class"): custom.findtext("extends")
               for custom in root.iter("customwidget")}
    kinds = {"QLineEdit": "lineedits", "QLabel": "labels", "QCheckBox": "checkboxes",
             "QRadioButton": "radios", "QPushButton": "pushbuttons",
             "QToolButton": "toolbuttons", "QGroupBox": "groups", "QScrollArea": "scrollareas"}
    # Plain widgets and buttons are counted only as what a promoted class
    # extends: the window's own central widget has its twin in the bare one.
    promoted_kinds = {"QWidget": "widgets", "QAbstractButton": "buttons"}
    counts = {key: 0 for key in list(kinds.values()) + list(promoted_kinds.values())}
    combos, menus = [], []
    for widget in root.iter("widget"):
        kind = widget.get("class")
        if kind in extends:
            while kind in extends:
                kind = extends[kind]
            if kind in promoted_kinds:
                counts[promoted_kinds[kind]] += 1
                continue
        if kind in kinds:
            counts[kinds[kind]] += 1
        elif kind == "QComboBox":
            combos.append(len(widget.findall("item")))
        elif kind == "QMenu":
            menus.append(len(widget.findall("addaction")))
    arguments = [f"{key}={value}" for key, value in counts.items()]
    arguments += [f"combos={','.join(map(str, combos))}", f"menus={','.join(map(str, menus))}"]
    return arguments


def run_once(argv, env):
    """Seconds from spawn to exit, peak RSS in KiB, CPU seconds and the
    probe's report."""
    read_end, write_end = os.pipe()
    with open(os.devnull, "wb") as null:
        start = time.perf_counter()
        pid = os.posix_spawn(argv[0], argv, env, file_actions=[
            (os.POSIX_SPAWN_DUP2, write_end, 1),
            (os.POSIX_SPAWN_DUP2, null.fileno(), 2),
            (os.POSIX_SPAWN_CLOSE, read_end)])
        _, status, usage = os.wait4(pid, 0)
        elapsed = time.perf_counter() - start
    os.close(write_end)
    with os.fdopen(read_end) as output:
        report = output.read()
    settled = None
    if report.startswith("settled: rss="):
        first, report = report.split("\n", 1)
        settled = int(first.split("=")[1])
    if os.waitstatus_to_exitcode(status) != 0 or not report.startswith("shown:"):
        sys.exit(f"startup: {argv[0]} did not show a window (status {status}): {report!r}")
    if settled is not None:
        return settled
    return elapsed, usage.ru_maxrss, usage.ru_utime + usage.ru_stime, report.split()[1:]


def measure_settled(programs, env, runs):
    """Resident memory in KiB SETTLE_MS after the first expose, alternating."""
    env = dict(env, BITLENS_PROBE_SETTLE_MS=str(SETTLE_MS))
    samples = {name: [] for name in programs}
    for i in range(WARM_UP + runs):
        for name, argv in programs.items():
            rss = run_once(argv, env)
            if i >= WARM_UP:
                samples[name].append(rss)
    return samples


def report_settled(samples):
    ours = statistics.median(samples["bitlens"]) / 1024.0
    bare = statistics.median(samples["bare"]) / 1024.0
    ratio = ours / bare
    target = TARGETS["RSS 300 ms"]
    ok = ratio <= target
    print(f"  {'RSS 300 ms':<10} {ours:6.1f} {'MiB':<3}{bare:6.1f} {'MiB':<3}{ratio:5.2f}  "
          f"<= {target:.2f} {'ok' if ok else 'MISSED'}")
    return not ok


def write_restored_state(config):
    """A window state as a window left with the math area open and both
    panels shown writes it."""
    os.makedirs(f"{config}/bitlens")
    with open(f"{config}/bitlens/window-state", "w", encoding="utf-8") as state:
        state.write("bitlens window state 1\nmath\topen\nwidth\t64\n"
                    "panel\thistoryPanel\tshown\t0\t0\n"
                    "panel\tbitFieldPanel\tshown\t0\t0\n")


def report_restored(programs, env, runs):
    """Start-up and settled memory of bitlens restoring the math area and
    both panels, beside the same bare window: figures to compare, no target."""
    samples, _ = measure(programs, env, runs)
    settled = measure_settled(programs, env, runs)
    print(f"start-up restoring the math area and both panels, median of {runs} runs each")
    print("  (for comparison: the bare window has neither the panels nor the math area's size,"
          " so the start-up targets are not its)")
    rows = [("wall time", statistics.median(samples["bitlens"][0]) * 1000,
             statistics.median(samples["bare"][0]) * 1000, "ms"),
            ("peak RSS", statistics.median(samples["bitlens"][1]) / 1024,
             statistics.median(samples["bare"][1]) / 1024, "MiB"),
            ("RSS 300 ms", statistics.median(settled["bitlens"]) / 1024,
             statistics.median(settled["bare"]) / 1024, "MiB")]
    for what, ours, bare, unit in rows:
        print(f"  {what:<10} {ours:6.1f} {unit:<3}{bare:6.1f} {unit:<3}{ours / bare:5.2f}")
    return 0


def start_reporting(make_argv):
    """Starts the program make_argv(fd) gives and reads the first line it
    writes to fd: the child and the line, or None and None when it writes
    none."""
    read_end, write_end = os.pipe()
    child = subprocess.Popen(make_argv(write_end), pass_fds=[write_end],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as printed:
        line = printed.readline().strip()
    if not line:
        child.wait()
        return None, None
    return child, line


def start_session_bus(runtime):
    """A session bus of our own; None when dbus-daemon is missing."""
    if not shutil.which("dbus-daemon"):
        return None, None
    return start_reporting(lambda fd: [
        "dbus-daemon", "--session", "--nofork", "--nopidfile",
        f"--address=unix:dir={runtime}", f"--print-address={fd}"])


def measure(programs, env, runs):
    """Alternating runs of each program after a few warm-up runs of each."""
    samples = {name: ([], [], []) for name in programs}
    census = {}
    for i in range(WARM_UP + runs):
        for name, argv in programs.items():
            *figures, census[name] = run_once(argv, env)
            if i >= WARM_UP:
                for sample, figure in zip(samples[name], figures):
                    sample.append(figure)
    return samples, census


def instructions(argv, env):
    """Instructions to the first window, counted by callgrind (valgrind)."""
    result = subprocess.run(
        ["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null"] + argv,
        env=dict(env, QT_HASH_SEED="0"), capture_output=True, text=True, check=True)
    return int(re.search(r"Collected : (\d+)", result.stderr).group(1))


def report_instructions(programs, env):
    ours, bare = (instructions(programs[name], env) for name in ("bitlens", "bare"))
    print(f"  {'instr.':<10} {ours / 1e6:6.1f} {'M':<3}{bare / 1e6:6.1f} {'M':<3}{ours / bare:5.2f}")


def report(platform, samples, census, runs):
    ours, bare = samples["bitlens"], samples["bare"]
    print(f"start-up, {platform}, median of {runs} runs each")
    print(f"  {'':<10} {'bitlens':>9} {'bare':>9} {'ratio':>6}  target")
    missed = 0
    rows = [("wall time", "ms", 1000.0, 0), ("peak RSS", "MiB", 1 / 1024.0, 1),
            ("CPU time", "ms", 1000.0, 2)]
    for what, unit, scale, index in rows:
        a = statistics.median(ours[index]) * scale
        b = statistics.median(bare[index]) * scale
        ratio = a / b
        verdict = ""
        if what in TARGETS:
            ok = ratio <= TARGETS[what]
            missed += not ok
            verdict = f"<= {TARGETS[what]:.2f} {'ok' if ok else 'MISSED'}"
        print(f"  {what:<10} {a:6.1f} {unit:<3}{b:6.1f} {unit:<3}{ratio:5.2f}  {verdict}")
    if census["bitlens"] == census["bare"]:
        total = sum(int(entry.split("=")[1]) for entry in census["bare"])
        print(f"  widgets: the same {total} in both")
    else:
        print(f"  widgets differ: bitlens {' '.join(census['bitlens'])}")
        print(f"                  bare    {' '.join(census['bare'])}")
    return missed


def start_xvfb():
    """An Xvfb of our own on a free display; None when Xvfb is missing."""
    if not shutil.which("Xvfb"):
        return None, None
    server, display = start_reporting(lambda fd: [
        "Xvfb", "-displayfd", str(fd), "-screen", "0", "1920x1200x24", "-nolisten", "tcp"])
    return server, display and f":{display}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("bitlens")
    parser.add_argument("bare")
    parser.add_argument("probe")
    parser.add_argument("ui_file")
    parser.add_argument("--runs", type=int, default=20)
    parser.add_argument("--instructions", action="store_true")
    parser.add_argument("--panels", action="store_true")
    args = parser.parse_args()

    programs = {"bitlens": [os.path.abspath(args.bitlens)],
                "bare": [os.path.abspath(args.bare)] + widget_counts(args.ui_file)}
    missed = 0
    with tempfile.TemporaryDirectory(prefix="bitlens-startup-") as runtime:
        os.chmod(runtime, 0o700)
        env = {key: value for key, value in os.environ.items()
               if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        # A private runtime folder: no running instance can take the launch over.
        # No session bus either, and none started on demand: a missing bus would
        # have each program fork to look for dbus-launch along the PATH.
        env.update(XDG_RUNTIME_DIR=runtime, LD_PRELOAD=os.path.abspath(args.probe),
                   DBUS_SESSION_BUS_ADDRESS=f"unix:path={runtime}/no-bus",
                   XDG_CONFIG_HOME=f"{runtime}/config", XDG_DATA_HOME=f"{runtime}/data",
                   XDG_STATE_HOME=f"{runtime}/state")
        restored = None
        if args.panels:
            restored = dict(env, XDG_CONFIG_HOME=f"{runtime}/restored")
            write_restored_state(f"{runtime}/restored")

        offscreen = dict(env, QT_QPA_PLATFORM="offscreen")
        samples, census = measure(programs, offscreen, args.runs)
        missed += report("offscreen", samples, census, args.runs)
        if args.instructions:
            report_instructions(programs, offscreen)

        server, display = start_xvfb()
        if server is None:
            print("start-up under Xvfb: skipped, Xvfb is not installed")
        else:
            try:
                xcb = dict(env, QT_QPA_PLATFORM="xcb", DISPLAY=display)
                samples, census = measure(programs, xcb, args.runs)
                missed += report(f"Xvfb (xcb, display {display})", samples, census, args.runs)
                if args.instructions:
                    report_instructions(programs, xcb)
                bus, address = start_session_bus(runtime)
                if bus is None:
                    print(f"  {'RSS 300 ms':<10} skipped: dbus-daemon is not installed")
                else:
                    try:
                        settled = measure_settled(
                            programs, dict(xcb, DBUS_SESSION_BUS_ADDRESS=address), args.runs)
                        missed += report_settled(settled)
                        if restored is not None:
                            missed += report_restored(programs, dict(
                                restored, QT_QPA_PLATFORM="xcb", DISPLAY=display,
                                DBUS_SESSION_BUS_ADDRESS=address), args.runs)
                    finally:
                        bus.terminate()
                        bus.wait()
            finally:
                server.terminate()
                server.wait()
    if missed:
        print(f"{missed} start-up figure(s) above target")
    return 0


if __name__ == "__main__":
    sys.exit(main())
