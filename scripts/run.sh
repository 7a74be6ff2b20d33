#!/usr/bin/env bash
# Builds the program and starts it under Wine against the simulated card. Without a display it runs
# on a virtual one for a few seconds and leaves a screenshot under build/.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
source scripts/wine-env.sh
arch=${ARCH:-win64}
if [[ $arch == win32 && -n $WINE32_UNAVAILABLE ]]; then
  echo "Cannot run the 32-bit program here: $WINE32_UNAVAILABLE" >&2; exit 1
fi
# Only what the program needs: the skin, the program and the simulated driver.
scripts/build.sh native:skin "$arch:Coralvane,nvapi_sim"
wine_prefix_ready
wine_install_sim_driver
# SCENARIO=<name> picks sim/scenarios/<name>.scn (lighting: a card with the register lighting controller).
if [[ -n "${SCENARIO:-}" ]]; then
  CORALVANE_SIM_SCENARIO=$ROOT/sim/scenarios/$SCENARIO.scn
  [[ -f $CORALVANE_SIM_SCENARIO ]] || { echo "No scenario $CORALVANE_SIM_SCENARIO" >&2; exit 1; }
fi
export CORALVANE_SIM_SCENARIO=${CORALVANE_SIM_SCENARIO:-$ROOT/sim/scenarios/warmup.scn}
export CORALVANE_SIM_JOURNAL=${CORALVANE_SIM_JOURNAL:-$ROOT/build/sim-journal.txt}
export CORALVANE_SIM_ACCESSORY=${CORALVANE_SIM_ACCESSORY-A1}
export CORALVANE_SIM_ACCESSORY_JOURNAL=${CORALVANE_SIM_ACCESSORY_JOURNAL:-$ROOT/build/sim-accessory-journal.txt}
exe="$ROOT/build/$arch/src/Coralvane.exe"
if [[ -n "${DISPLAY:-}" ]]; then
  echo "Starting $exe (simulated driver journal: $CORALVANE_SIM_JOURNAL)"
  wine "$exe"
else
  shot="$ROOT/build/run-screenshot.png"
  echo "No display: running on a virtual one for ${RUN_SECONDS:-15} s"
  scripts/with-xvfb.sh bash -c '
    wine "$1" & pid=$!
    sleep "$3"
    import -window root "$2" || true
    kill $pid 2>/dev/null; wineserver -k 2>/dev/null; wait $pid 2>/dev/null || true' _ "$exe" "$shot" "${RUN_SECONDS:-15}"
  echo "Screenshot: $shot"
fi
