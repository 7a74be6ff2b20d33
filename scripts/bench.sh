#!/usr/bin/env bash
# Benchmark of the release program under Wine on a virtual display, side by side with a bare
# reference window this script builds (tools/bench/reference.cpp: one 1000x504 window redrawing two
# 220x220 areas and two texts every 500 ms). Prints idle CPU over BENCH_SECONDS (60) with the main
# window and with the monitor window open, private memory (5 s after the window shows, and again at
# the end of the idle period, when what start-up decoded has been let go), start-up time to the first
# painted main window, executable size and the driver calls per second from the simulated driver's journal; each
# as a ratio to the reference where one applies. Not part of `make test`.
# BENCH_EXE=<Coralvane.exe> measures another build of the program (its Resources folder beside it).
set -euo pipefail
trap 'echo "bench: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
source scripts/wine-env.sh
if [[ ${1:-} != --inner ]]; then
  scripts/build.sh native win64 >/dev/null
  bench="$ROOT/build/bench"
  mkdir -p "$bench"
  cxx=x86_64-w64-mingw32-g++-posix
  $cxx -O2 -municode -mwindows -static tools/bench/reference.cpp -o "$bench/reference.exe"
  $cxx -O2 -municode -static tools/bench/probe.cpp -o "$bench/probe.exe" -lgdi32
  wine_prefix_ready
  wine_install_sim_driver
  wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true
  exec scripts/with-xvfb.sh "$0" --inner
fi

bench="$ROOT/build/bench"
seconds=${BENCH_SECONDS:-60}
built=$(realpath "${BENCH_EXE:-$ROOT/build/win64/src/Coralvane.exe}")
# The program runs from a private copy, so it starts as on a first run: a configuration left beside
# the build by a test (a fan curve to follow, say) would change what it does each tick.
exe="$bench/run/$(basename "$built")"
rm -rf "$bench/run"
mkdir -p "$bench/run"
cp "$built" "$exe"
cp -r "$(dirname "$built")/Resources" "$bench/run/"
monitor_button=1138
tick=$(getconf CLK_TCK)
unset CORALVANE_SIM_JOURNAL CORALVANE_SIM_ACCESSORY
# A card whose readings move (warming under load), so the dials have something to show each tick.
export CORALVANE_SIM_SCENARIO=${CORALVANE_SIM_SCENARIO:-$ROOT/sim/scenarios/warmup.scn}
winpath() { printf 'Z:%s' "${1//\//\\}"; }
# The probe's answer goes through a file: a program it starts keeps the probe's output open.
probe() { wine "$bench/probe.exe" "$@" >"$bench/probe.out" 2>/dev/null || true; tr -d '\r' <"$bench/probe.out"; }
field() { awk -v k="$1" '$1==k {print $2}'; }
# CPU time (clock ticks) of a Linux process: user + system.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# This prefix's wineserver (others may run beside it): the one working in the prefix's server
# folder, named after the prefix's device and inode.
server_pid() {
  local dir p
  dir=$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
  for p in $(pgrep wineserver); do [[ $(readlink "/proc/$p/cwd") == */"$dir" ]] && echo "$p" && return; done
}
# Percent of one core a process used over `seconds`.
idle_cpu() {
  local pid=$1 server a b sa sb
  server=$(server_pid)
  a=$(cpu_ticks "$pid"); sa=$(cpu_ticks "$server")
  sleep "$seconds"
  b=$(cpu_ticks "$pid"); sb=$(cpu_ticks "$server")
  awk -v d=$((b - a)) -v s=$((sb - sa)) -v t="$tick" -v n="$seconds" \
    'BEGIN {printf "%.3f %.3f", 100 * d / t / n, 100 * s / t / n}'
}
# The Linux process of a program of this prefix (other prefixes may run programs of that name).
unix_pid() {
  local p
  for p in $(pgrep -f "$1"); do
    [[ $(readlink "/proc/$p/exe") == */wine* ]] || continue
    # An if, not `&&`: a last candidate of another prefix must not fail the search (and the bench).
    if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then echo "$p"; fi
  done | tail -1
}
# Starts a program through the probe; sets started_ms, paused_ms, winpid and unixpid.
start() {
  local out
  out=$(probe start "$(winpath "$1")" "$2")
  started_ms=$(field startup_ms <<<"$out"); paused_ms=$(field paused_ms <<<"$out"); winpid=$(field pid <<<"$out")
  [[ -n $started_ms ]] || { echo "bench: $1 showed no painted window: $out" >&2; exit 1; }
  unixpid=$(unix_pid "$(basename "$1")")
}
# Private memory: the pages only this process maps (Wine's own per-process share included, as in
# the reference), in MB.
memory_mb() { awk '/^Private_(Clean|Dirty):/ {kb += $2} END {printf "%.1f", kb / 1024}' "/proc/$1/smaps_rollup"; }

declare -A r
# Reference window.
start "$bench/reference.exe" "Bench reference"
r[ref_start]=$started_ms
sleep 5
r[ref_mem]=$(memory_mb "$unixpid")
read -r r[ref_cpu] r[ref_server] <<<"$(idle_cpu "$unixpid")"
r[ref_mem_idle]=$(memory_mb "$unixpid")
probe close "$winpid"
r[ref_size]=$(stat -c %s "$bench/reference.exe")

# The program: main window, then with the monitor window open.
start "$exe" "Coralvane"
r[start]=$started_ms
r[paused]=$paused_ms
sleep 5
r[mem]=$(memory_mb "$unixpid")
read -r r[cpu] r[server] <<<"$(idle_cpu "$unixpid")"
r[mem_idle]=$(memory_mb "$unixpid")
probe click "$winpid" "$monitor_button"
sleep 5
r[mem_mon]=$(memory_mb "$unixpid")
read -r r[cpu_mon] r[server_mon] <<<"$(idle_cpu "$unixpid")"
r[mem_mon_idle]=$(memory_mb "$unixpid")
probe close "$winpid"
r[size]=$(stat -c %s "$exe")

# Driver calls per second, from the journal of a run of its own (writing the journal costs time).
journal="$bench/journal.txt"
rm -f "$journal"
export CORALVANE_SIM_JOURNAL=$(winpath "$journal")
start "$exe" "Coralvane"
sleep 5
a=$(wc -l <"$journal")
sleep 20
b=$(wc -l <"$journal")
r[calls]=$(awk -v d=$((b - a)) 'BEGIN {printf "%.1f", d / 20}')
probe click "$winpid" "$monitor_button"
sleep 5
a=$(wc -l <"$journal")
sleep 20
b=$(wc -l <"$journal")
r[calls_mon]=$(awk -v d=$((b - a)) 'BEGIN {printf "%.1f", d / 20}')
probe close "$winpid"
unset CORALVANE_SIM_JOURNAL

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.2f", a / b; else printf "-"}'; }
printf '%-44s %14s %14s %8s\n' "measure ($(basename "$exe"), Wine, ${seconds} s idle)" program reference ratio
row() { printf '%-44s %14s %14s %8s\n' "$1" "$2" "$3" "$(ratio "$2" "$3")"; }
row "idle CPU, main window (% of a core)" "${r[cpu]}" "${r[ref_cpu]}"
row "idle CPU, monitor window open (%)" "${r[cpu_mon]}" "${r[ref_cpu]}"
row "wineserver CPU meanwhile, main (%)" "${r[server]}" "${r[ref_server]}"
row "wineserver CPU meanwhile, monitor (%)" "${r[server_mon]}" "${r[ref_server]}"
row "private memory, main window, 5 s (MB)" "${r[mem]}" "${r[ref_mem]}"
row "  ... after the idle period (MB)" "${r[mem_idle]}" "${r[ref_mem_idle]}"
row "private memory, monitor open, 5 s (MB)" "${r[mem_mon]}" "${r[ref_mem]}"
row "  ... after the idle period (MB)" "${r[mem_mon_idle]}" "${r[ref_mem_idle]}"
row "start-up to first painted window (ms)" "${r[start]}" "${r[ref_start]}"
row "  ... less the protocol's pauses (ms)" "$((r[start] - r[paused]))" "${r[ref_start]}"
printf '%-44s %14s %14s %8s\n' "  (lighting detection's pauses (ms))" "${r[paused]}" - -
row "executable size (bytes)" "${r[size]}" "${r[ref_size]}"
printf '%-44s %14s %14s %8s\n' "driver calls per second, main window" "${r[calls]}" - -
printf '%-44s %14s %14s %8s\n' "driver calls per second, monitor open" "${r[calls_mon]}" - -
