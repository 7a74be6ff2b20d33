#!/usr/bin/env bash
# Builds the three presets and runs every test: native, the native tests under sanitizers and the
# fuzz targets, the same unit tests under Wine for both bitnesses, then the end-to-end tests of the
# real program under Wine and Xvfb.
# Ends with one line "N passed, M failed".
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
source scripts/wine-env.sh
RESULTS="$ROOT/build/results"
rm -rf "$RESULTS"; mkdir -p "$RESULTS"

scripts/build.sh native win32 win64 || { echo "0 passed, 1 failed"; exit 1; }
# The release packages: an end-to-end test installs and uninstalls the installer. Where 32-bit code
# cannot run, it takes the same installer script built on the 64-bit stub.
[[ -n $WINE32_UNAVAILABLE ]] && export DIST_TEST_AMD64=1
scripts/dist.sh >/dev/null || { echo "0 passed, 1 failed"; exit 1; }
if [[ -n $WINE32_UNAVAILABLE ]]; then
  installer="$ROOT/build/dist/test/setup-amd64.exe"
  export CORALVANE_TEST_INSTALLER="Z:${installer//\//\\}"
fi

# The expected programs, the time limit, tally and the GoogleTest variables cleared for the run.
source scripts/test-programs.sh
passed=0; failed=0

for name in "${UNIT_PROGRAMS[@]}"; do
  t=build/native/tests/$name
  [[ -x $t ]] || { missing_program "native $name"; continue; }
  echo "== native $name"
  timeout -k 10 "$TEST_TIME_LIMIT" "$t" --gtest_brief=1 --gtest_output="xml:$RESULTS/native-$name.xml"
  tally "native $name" "$RESULTS/native-$name.xml" $?
done

# The native tests again under AddressSanitizer and UndefinedBehaviorSanitizer, then a short run of
# every fuzz target (one pass per target that found nothing).
scripts/sanitize.sh
sanitize_rc=$?
if [[ -f "$RESULTS/asan-rc" ]]; then
  for name in "${UNIT_PROGRAMS[@]}"; do
    rc=$(awk -v n="$name" '$1==n {print $2}' "$RESULTS/asan-rc")
    tally "asan $name" "$RESULTS/asan-$name.xml" "${rc:-1}"
  done
else
  tally "asan build" "$RESULTS/asan-build.xml" "$sanitize_rc"
fi
scripts/fuzz.sh
tally "fuzz" "$RESULTS/fuzz.xml" $?

wine_prefix_ready
wine_install_sim_driver
for arch in $WINE_ARCH_LIST; do
  for name in "${UNIT_PROGRAMS[@]}" "${WINE_PROGRAMS[@]}"; do
    t=build/$arch/tests/$name.exe
    [[ -f $t ]] || { missing_program "$arch $name"; continue; }
    echo "== $arch $name under Wine"
    (cd "$RESULTS" && timeout -k 10 "$TEST_TIME_LIMIT" wine "$ROOT/$t" --gtest_brief=1 --gtest_output="xml:$arch-$name.xml")
    tally "$arch $name" "$RESULTS/$arch-$name.xml" $?
  done
done

# The programs that make real windows run on the virtual display. The prefix's desktop process
# binds to the display it first saw: the unit tests ran without one, so end that Wine session first.
wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
rm -f "$RESULTS/display-rc"
scripts/with-xvfb.sh bash -c '
  results=$1 root=$2 limit=$3; shift 3
  for name in "$@"; do
    for arch in $WINE_ARCH_LIST; do
      exe=$root/build/$arch/tests/$name.exe
      [[ -f $exe ]] || continue
      echo "== $arch $name under Wine with a display"
      (cd "$results" && timeout -k 10 "$limit" wine "$exe" --gtest_output="xml:$arch-$name.xml")
      echo "$arch-$name $?" >> "$results/display-rc"
    done
  done' _ "$RESULTS" "$ROOT" "$TEST_TIME_LIMIT" "${DISPLAY_PROGRAMS[@]}" ||
  echo "== the virtual display did not start"
for name in "${DISPLAY_PROGRAMS[@]}"; do
  for arch in $WINE_ARCH_LIST; do
    [[ -f build/$arch/tests/$name.exe ]] || { missing_program "$arch $name"; continue; }
    rc=$(awk -v a="$arch-$name" '$1==a {print $2}' "$RESULTS/display-rc" 2>/dev/null)
    tally "$arch $name" "$RESULTS/$arch-$name.xml" "${rc:-1}"
  done
done
wineserver -k 2>/dev/null || true
# Screenshots the end-to-end tests took, as PNG beside the reports.
for bmp in "$RESULTS"/*.bmp; do
  [[ -f "$bmp" ]] && convert "$bmp" "${bmp%.bmp}.png" 2>/dev/null && rm -f "$bmp"
done

if [[ -n $WINE32_UNAVAILABLE ]]; then
  echo "== NOT RUN: the 32-bit test programs and the 32-bit program were built but not run under Wine:"
  echo "   $WINE32_UNAVAILABLE"
  echo "   (the installer was tested as built on the 64-bit installer stub, not the shipped 32-bit one)"
fi
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
