#!/bin/sh
# The real program started from a shell as a user would, with no display to
# fall back on. Usage: tests/cli-checks.sh PROGRAM CHECK
# BITLENS_UNDER, when set, is a command the program runs under (make soak
# runs it under valgrind's memcheck, which checks the program, not the shell).
set -u
program=$1
check=$2
no_display="-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE"
# shellcheck disable=SC2086
bitlens() { env $no_display ${BITLENS_UNDER:-} "$program" "$@"; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
out=$scratch/out
err=$scratch/err

fail() { echo "cli-checks $check: $*" >&2; echo "--- stdout:" >&2; cat "$out" >&2; echo "--- stderr:" >&2; cat "$err" >&2; exit 1; }
lines() { wc -l <"$1" | tr -d ' '; }
# Runs the program with the arguments given; $status holds its exit status.
run() { : >"$out"; : >"$err"; bitlens "$@" >"$out" 2>"$err"; status=$?; }
expect_status() { [ "$status" -eq "$1" ] || fail "exit status $status, not $1"; }
# A usage error: status 2, nothing on standard output, the reason and the usage.
expect_usage_error() {
  expect_status 2
  [ ! -s "$out" ] || fail "printed something"
  head -n 1 "$err" | grep -q "^bitlens: $1" || fail "first line is not 'bitlens: $1'"
  sed -n 2p "$err" | grep -q '^Usage: bitlens' || fail "no usage after the reason"
}
# One line on standard error and nothing on standard output.
expect_one_line() {
  expect_status "$1"
  [ ! -s "$out" ] || fail "printed something"
  [ "$(lines "$err")" -eq 1 ] || fail "not one line on standard error"
  grep -q "^bitlens: $2" "$err" || fail "standard error does not say 'bitlens: $2'"
}

case $check in
layout_fields_in_jq)
  # A register of an SVD file, its fields' values read back by jq; a 64-bit
  # field's value keeps every digit.
  cat >"$scratch/dev.svd" <<'SVD'
<?xml version="1.0"?>
<device><name>D</name><peripherals><peripheral><name>UART0</name><registers>
<register><name>DATA</name><size>64</size><fields>
<field><name>ALL</name><bitRange>[63:0]</bitRange></field>
<field><name>EN</name><bitOffset>0</bitOffset><bitWidth>1</bitWidth><enumeratedValues>
<enumeratedValue><name>ON</name><value>1</value></enumeratedValue></enumeratedValues></field>
</fields></register></registers></peripheral></peripherals></device>
SVD
  run --print --json --layout "$scratch/dev.svd" --register UART0.DATA 0xffffffffffffffff
  expect_status 0
  jq -e '.fields[0].value == "18446744073709551615" and .fields[1].valueName == "ON"
         and .fields[0].valueName == null' "$out" >/dev/null || fail "jq does not find the fields"
  run --print --layout "$scratch/dev.svd" --register UART0.DATA 1
  expect_status 0
  grep -qx '  EN   0.*0x1  *1  ON' "$out" || fail "no line for EN"
  run --print --layout "$scratch/dev.svd" 1
  expect_usage_error "$scratch/dev.svd is an SVD file"
  printf '#define A GENMASK(70, 68)\n' >"$scratch/bad.h"
  run --print --layout "$scratch/bad.h" 1
  expect_one_line 1 "$scratch/bad.h:1: "
  ;;
prints_lines)
  run --print 0xff
  expect_status 0
  grep -qx 'hexadecimal: *00ff' "$out" || fail "no hexadecimal line"
  ;;
json_reads_in_jq)
  run --print --json 0x1ffffffff
  expect_status 0
  jq -e '.width == 64 and .decimal == "8589934591" and .fits == true' "$out" >/dev/null ||
    fail "jq does not find the number"
  ;;
reads_raw_argument_bytes)
  # Argument bytes that are not UTF-8 reach the text field as '?'.
  run --print --json --from text "$(printf 'A\377')"
  expect_status 0
  jq -e '.decimal == "16703"' "$out" >/dev/null || fail "not read as A?"
  ;;
beyond_128_bits)
  # A number past 64 bits is shown whole at 128; past 128, what a window
  # shows, and a warning that it is not the whole number.
  run --print --json 18446744073709551616
  expect_status 0
  jq -e '.fits and .width == 128 and .decimal == "18446744073709551616"' "$out" >/dev/null ||
    fail "2^64 not shown whole at 128 bits"
  jq -e 'has("uuid")' "$out" >/dev/null || fail "no uuid member at 128 bits"
  run --print --json 1
  jq -e 'has("uuid") | not' "$out" >/dev/null || fail "a uuid member below 128 bits"
  run --print --json 340282366920938463463374607431768211456
  expect_status 1
  jq -e '.fits == false and .decimal == "340282366920938463463374607431768211455"' "$out" >/dev/null ||
    fail "not the window's reading with fits false"
  [ "$(lines "$err")" -eq 1 ] && grep -q '^bitlens: warning: ' "$err" || fail "no warning line"
  ;;
usage_error_in_print_mode)
  run --print --bogus 1
  expect_usage_error "unknown option '--bogus'"
  ;;
usage_errors_in_window_mode)
  # Refused before any window or display is needed.
  for arguments in -help "-print 0xff" --bogus "--json 1"; do
    # shellcheck disable=SC2086
    run $arguments
    expect_usage_error ""
  done
  ;;
no_display)
  run
  expect_one_line 1 "no display"
  run --new-window 0x10
  expect_one_line 1 "no display"
  ;;
unreachable_display)
  number=4242
  while [ -e "/tmp/.X11-unix/X$number" ]; do number=$((number + 1)); done
  : >"$out"
  DISPLAY=:$number "$program" >"$out" 2>"$err"
  status=$?
  expect_one_line 1 "cannot open a window"
  ;;
platform_named_outright)
  # No display is needed for a platform given by name; the window opens there
  # and a second launch hands over to it.
  mkdir -m 700 "$scratch/runtime"
  export XDG_RUNTIME_DIR="$scratch/runtime"
  # By exec, so that $! is the program, which the trap ends: a function
  # run in the background is a shell of its own, and ending it leaves the
  # program running.
  # shellcheck disable=SC2086
  (exec env $no_display "$program" -platform offscreen) >"$out" 2>"$err" &
  pid=$!
  trap 'kill "$pid" 2>/dev/null; rm -rf "$scratch"' EXIT
  tries=0
  while [ ! -S "$XDG_RUNTIME_DIR/bitlens-offscreen" ]; do
    kill -0 "$pid" 2>/dev/null || fail "the first launch ended"
    tries=$((tries + 1))
    [ "$tries" -lt 200 ] || fail "the first launch never listened"
    sleep 0.05
  done
  QT_QPA_PLATFORM=offscreen "$program" --new-window 2>>"$err"
  status=$?
  expect_status 0
  ;;
silent_instance)
  # A running instance that answers nothing (stopped here) must not keep a
  # launch waiting: it opens its own window and says so in one line.
  mkdir -m 700 "$scratch/runtime"
  export XDG_RUNTIME_DIR="$scratch/runtime"
  # shellcheck disable=SC2086
  (exec env $no_display "$program" -platform offscreen) >"$out" 2>"$err" &
  first=$!
  second=
  trap 'kill -CONT "$first" 2>/dev/null; kill "$first" "$second" 2>/dev/null; rm -rf "$scratch"' EXIT
  tries=0
  while [ ! -S "$XDG_RUNTIME_DIR/bitlens-offscreen" ]; do
    tries=$((tries + 1))
    [ "$tries" -lt 200 ] || fail "the first launch never listened"
    sleep 0.05
  done
  kill -STOP "$first"
  : >"$err"
  # shellcheck disable=SC2086
  (exec env $no_display "$program" -platform offscreen --new-window) >"$out" 2>"$err" &
  second=$!
  tries=0
  while ! grep -q '^bitlens' "$err"; do
    kill -0 "$second" 2>/dev/null || fail "the second launch ended"
    tries=$((tries + 1))
    [ "$tries" -lt 200 ] || fail "the second launch said nothing within 10 s"
    sleep 0.05
  done
  sleep 0.5
  kill -0 "$second" 2>/dev/null || fail "the second launch did not stay with its own window"
  [ "$(grep -c '^bitlens' "$err")" -eq 1 ] || fail "not one line from bitlens"
  grep -q '^bitlens: warning: .*did not answer' "$err" || fail "the line does not say the instance did not answer"
  status=0
  ;;
search_service_without_a_bus)
  mkdir -m 700 "$scratch/runtime"
  export XDG_RUNTIME_DIR="$scratch/runtime"
  DBUS_SESSION_BUS_ADDRESS="unix:path=$scratch/no-bus" run --search-service
  expect_one_line 1 "the search service cannot start: no session bus"
  ;;
full_disk)
  for arguments in "--print 1" "--print --json 1" --help --version; do
    # shellcheck disable=SC2086
    bitlens $arguments >/dev/full 2>"$err"
    status=$?
    : >"$out"
    expect_one_line 1 "cannot write the output"
  done
  ;;
*)
  echo "cli-checks: no check '$check'" >&2
  exit 2
  ;;
esac
