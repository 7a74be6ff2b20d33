#!/usr/bin/env bash
# Configures and builds the given presets (native first: it draws the skin the others embed).
# A preset may name the targets to build after a colon, e.g. `native:skin win64:Coralvane,nvapi_sim`;
# without them every target of the preset is built.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
jobs=$(nproc)
for arg in "$@"; do
  preset=${arg%%:*}
  targets=()
  [[ $arg == *:* ]] && IFS=, read -ra targets <<<"${arg#*:}"
  if [[ ! -f "build/$preset/build.ninja" ]]; then
    cmake --preset "$preset" -G Ninja -DSKIN_DIR="$ROOT/build/native/skin" >/dev/null
  fi
  cmake --build "build/$preset" -j "$jobs" ${targets[@]+--target "${targets[@]}"}
done
