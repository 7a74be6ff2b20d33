#!/usr/bin/env bash
# Builds the native test programs with AddressSanitizer and UndefinedBehaviorSanitizer in build/asan
# and runs them; the first finding ends a program with a failure. Reports go to
# build/results/asan-<program>.xml, and each program's exit code to build/results/asan-rc.
# Ends with one line "N passed, M failed" (a program that found a fault counts once more).
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
BUILD="$ROOT/build/asan"
RESULTS="$ROOT/build/results"
# UNIT_PROGRAMS, the time limit and tally.
source scripts/test-programs.sh
PROGRAMS=("${UNIT_PROGRAMS[@]}")
mkdir -p "$RESULTS"
rm -f "$RESULTS"/asan-*.xml "$RESULTS/asan-rc"

if [[ ! -f "$BUILD/build.ninja" ]]; then
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORALVANE_SANITIZE=ON \
    -DSKIN_DIR="$BUILD/skin" >/dev/null || { echo "0 passed, 1 failed"; exit 1; }
fi
if ! nice -n 10 cmake --build "$BUILD" -j 2 --target "${PROGRAMS[@]}"; then
  echo "0 passed, 1 failed"; exit 1
fi

# Leaks count too: a parser that loses memory on bad input is a fault like any other.
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

passed=0; failed=0; status=0
for name in "${PROGRAMS[@]}"; do
  echo "== asan $name"
  timeout -k 10 "$TEST_TIME_LIMIT" "$BUILD/tests/$name" --gtest_brief=1 --gtest_output="xml:$RESULTS/asan-$name.xml"
  rc=$?
  echo "$name $rc" >> "$RESULTS/asan-rc"
  [[ $rc -eq 0 ]] || status=1
  # A sanitizer stops the program before GoogleTest writes its report: that counts as a failure.
  before=$failed
  tally "asan $name" "$RESULTS/asan-$name.xml" "$rc"
  [[ $failed -ne $before ]] && status=1
done

echo "$passed passed, $failed failed"
exit $status
