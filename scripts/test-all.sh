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

passed=0; failed=0
# Adds the counts of one GoogleTest XML report; a run that left no report counts as one failure.
tally() {
  local name=$1 xml=$2 rc=$3
  if [[ -f "$xml" ]]; then
    local head tests fails errs dis
    head=$(grep -m1 '<testsuites' "$xml")
    tests=$(sed -E 's/.* tests="([0-9]+)".*/\1/' <<<"$head")
    fails=$(sed -E 's/.* failures="([0-9]+)".*/\1/' <<<"$head")
    errs=$(sed -E 's/.* errors="([0-9]+)".*/\1/' <<<"$head")
    dis=$(sed -E 's/.* disabled="([0-9]+)".*/\1/' <<<"$head")
    local bad=$((fails + errs)) skipped
    skipped=$(grep -c '<skipped' "$xml" || true)
    passed=$((passed + tests - bad - dis - skipped)); failed=$((failed + bad))
    if [[ $rc -ne 0 && $bad -eq 0 ]]; then failed=$((failed + 1)); echo "$name: exit code $rc"; fi
    echo "== $name: $((tests - bad - dis - skipped)) passed, $bad failed"
  else
    failed=$((failed + 1)); echo "== $name: no report (exit code $rc)"
  fi
}

for t in build/native/tests/*_tests; do
  name=$(basename "$t"); echo "== native $name"
  "$t" --gtest_brief=1 --gtest_output="xml:$RESULTS/native-$name.xml"
  tally "native $name" "$RESULTS/native-$name.xml" $?
done

# The native tests again under AddressSanitizer and UndefinedBehaviorSanitizer, then a short run of
# every fuzz target (one pass per target that found nothing).
scripts/sanitize.sh
sanitize_rc=$?
if [[ -f "$RESULTS/asan-rc" ]]; then
  while read -r name rc; do tally "asan $name" "$RESULTS/asan-$name.xml" "$rc"; done < "$RESULTS/asan-rc"
else
  tally "asan build" "$RESULTS/asan-build.xml" "$sanitize_rc"
fi
scripts/fuzz.sh
tally "fuzz" "$RESULTS/fuzz.xml" $?

wine_prefix_ready
wine_install_sim_driver
for arch in $WINE_ARCH_LIST; do
  for t in build/$arch/tests/*_tests.exe; do
    name=$(basename "$t" .exe)
    # The Win32 host tests create real windows: they run below, on the virtual display.
    [[ $name == e2e_tests || $name == wine_tests ]] && continue
    echo "== $arch $name under Wine"
    (cd "$RESULTS" && wine "$ROOT/$t" --gtest_brief=1 --gtest_output="xml:$arch-$name.xml")
    tally "$arch $name" "$RESULTS/$arch-$name.xml" $?
  done
done

if ls build/win64/tests/e2e_tests.exe >/dev/null 2>&1; then
  # The prefix's desktop process binds to the display it first saw: the unit tests ran without one,
  # so end that Wine session before the windows need the virtual display.
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
  scripts/with-xvfb.sh bash -c '
    for arch in $WINE_ARCH_LIST; do
      echo "== $arch wine_tests under Wine with a display"
      (cd "$0" && wine "$1/build/$arch/tests/wine_tests.exe" --gtest_brief=1 --gtest_output="xml:$arch-wine_tests.xml")
      echo "$arch $?" >> "$0/wine-rc"
    done
    for arch in $WINE_ARCH_LIST; do
      echo "== $arch end-to-end tests"
      (cd "$0" && wine "$1/build/$arch/tests/e2e_tests.exe" --gtest_output="xml:e2e-$arch.xml")
      echo "$arch $?" >> "$0/e2e-rc"
    done' "$RESULTS" "$ROOT"
  for arch in $WINE_ARCH_LIST; do
    rc=$(awk -v a=$arch '$1==a {print $2}' "$RESULTS/wine-rc" 2>/dev/null); tally "$arch wine_tests" "$RESULTS/$arch-wine_tests.xml" "${rc:-1}"
  done
  for arch in $WINE_ARCH_LIST; do
    rc=$(awk -v a=$arch '$1==a {print $2}' "$RESULTS/e2e-rc" 2>/dev/null); tally "e2e-$arch" "$RESULTS/e2e-$arch.xml" "${rc:-1}"
  done
fi
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
