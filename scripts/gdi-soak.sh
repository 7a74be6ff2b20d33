#!/usr/bin/env bash
# Soak run of the Win32 host under Wine and a virtual display: the gdi_soak probe creates, shows,
# hides and destroys a skinned dialog and drags its slider for N minutes, then fails if GDI objects,
# USER objects, handles or the host's own count of what it created grew.
# Usage: scripts/gdi-soak.sh [minutes, default 10] [build folder, default build/win64]
# A WINEPREFIX set by the caller is kept; otherwise the project's prefix is used.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
minutes=${1:-10}
build=${2:-build/win64}
callerPrefix=${WINEPREFIX:-}
source scripts/wine-env.sh
[[ -n "$callerPrefix" ]] && export WINEPREFIX=$callerPrefix
exe="$ROOT/$build/tests/gdi_soak.exe"
if [[ ! -f "$exe" ]]; then
  echo "no $exe: build the gdi_soak target of $build first" >&2
  exit 2
fi
wine_prefix_ready
echo "GDI soak: $minutes minute(s) with $exe"
scripts/with-xvfb.sh wine "$exe" "$minutes"
rc=$?
echo "exit code $rc"
exit $rc
