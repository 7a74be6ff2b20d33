#!/usr/bin/env bash
# Configures and builds the given presets (native first: it draws the skin the others embed).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
jobs=$(nproc)
for preset in "$@"; do
  if [[ ! -f "build/$preset/build.ninja" ]]; then
    cmake --preset "$preset" -G Ninja -DSKIN_DIR="$ROOT/build/native/skin" >/dev/null
  fi
  cmake --build "build/$preset" -j "$jobs"
done
