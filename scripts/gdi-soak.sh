#!/usr/bin/env bash
# Soak runs under Wine and a virtual display that fail when GDI objects, USER objects, handles or the
# host's own count of what it created grew between the first and the last reading.
#   host mode: the gdi_soak probe creates, shows, hides and destroys a skinned dialog and drags its
#              slider for N minutes.
#   main mode: the main_soak probe runs the real main window against the simulated driver's warming
#              card (sim/scenarios/warmup.scn), with its configuration in a private temporary folder,
#              and works its fan, GPU, profile, notification-area and overclock controls and opens,
#              moves and closes every side window while the dials and charts refresh; the first
#              reading comes after a warm-up minute.
# Usage: scripts/gdi-soak.sh [minutes, default 10] [build folder, default build/win64] [host|main]
# A WINEPREFIX set by the caller is kept; otherwise the project's prefix is used. Main mode installs
# the build folder's simulated driver into that prefix's system directory.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
minutes=${1:-10}
build=${2:-build/win64}
mode=${3:-host}
callerPrefix=${WINEPREFIX:-}
source scripts/wine-env.sh
[[ -n "$callerPrefix" ]] && export WINEPREFIX=$callerPrefix
case "$mode" in
  host) probe=gdi_soak ;;
  main) probe=main_soak ;;
  *) echo "unknown mode '$mode': host or main" >&2; exit 2 ;;
esac
exe="$ROOT/$build/tests/$probe.exe"
if [[ ! -f "$exe" ]]; then
  echo "no $exe: build the $probe target of $build first" >&2
  exit 2
fi
wine_prefix_ready
if [[ "$mode" == main ]]; then
  if [[ -f "$ROOT/$build/sim/nvapi64.dll" ]]; then
    cp "$ROOT/$build/sim/nvapi64.dll" "$WINEPREFIX/drive_c/windows/system32/"
  elif [[ -f "$ROOT/$build/sim/nvapi.dll" ]]; then
    cp "$ROOT/$build/sim/nvapi.dll" "$WINEPREFIX/drive_c/windows/syswow64/"
  else
    echo "no simulated driver in $build/sim: build the nvapi_sim target of $build first" >&2
    exit 2
  fi
  scenario="$ROOT/sim/scenarios/warmup.scn"
  export CORALVANE_SIM_SCENARIO="Z:${scenario//\//\\}"
fi
echo "GDI soak ($mode): $minutes minute(s) with $exe"
scripts/with-xvfb.sh wine "$exe" "$minutes"
rc=$?
echo "exit code $rc"
exit $rc
