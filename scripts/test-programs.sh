# Sourced by the test runners: the test programs a full run expects, in one place. A program on
# these lists that is missing from the build, reports no test, skips a test, or runs past the time
# limit counts as failed, so a test program cannot drop out of `make test` unnoticed.
#
# To add one: a new folder tests/<name>/ builds <name>_tests (tests/CMakeLists.txt); put that name
# into UNIT_PROGRAMS when it needs no display (it then runs natively, under the sanitizers and under
# Wine for both bitnesses; a Windows-only program goes into WINE_PROGRAMS instead), or into
# DISPLAY_PROGRAMS when it makes real windows (Wine, both bitnesses, on the virtual display).
UNIT_PROGRAMS=(gpu_tests ui_tests app_tests)
WINE_PROGRAMS=()
DISPLAY_PROGRAMS=(wine_tests e2e_tests)

# Seconds one test program may run before it counts as hung and is stopped.
TEST_TIME_LIMIT=${TEST_TIME_LIMIT:-600}

# Variables that would make GoogleTest run only part of a program.
unset GTEST_FILTER GTEST_TOTAL_SHARDS GTEST_SHARD_INDEX GTEST_SHARD_STATUS_FILE GTEST_REPEAT \
  GTEST_ALSO_RUN_DISABLED_TESTS GTEST_FAIL_FAST GTEST_BRIEF

# Adds one GoogleTest XML report to the counts `passed` and `failed` of the caller. A run that left
# no report, reported no test, or ended with a failing exit code counts as one failure; a skipped
# test counts as failed. Exit code 124 is the time limit's.
tally() {
  local name=$1 xml=$2 rc=$3
  if [[ $rc -eq 124 || $rc -eq 137 ]]; then
    failed=$((failed + 1)); echo "== $name: FAILED, still running after ${TEST_TIME_LIMIT} s"
    return
  fi
  if [[ ! -f "$xml" ]]; then
    failed=$((failed + 1)); echo "== $name: FAILED, no report (exit code $rc)"
    return
  fi
  local head tests fails errs dis skipped good bad
  head=$(grep -m1 '<testsuites' "$xml")
  tests=$(sed -nE 's/.* tests="([0-9]+)".*/\1/p' <<<"$head")
  fails=$(sed -nE 's/.* failures="([0-9]+)".*/\1/p' <<<"$head")
  errs=$(sed -nE 's/.* errors="([0-9]+)".*/\1/p' <<<"$head")
  dis=$(sed -nE 's/.* disabled="([0-9]+)".*/\1/p' <<<"$head")
  skipped=$(grep -c '<skipped' "$xml" || true)
  tests=${tests:-0}; fails=${fails:-0}; errs=${errs:-0}; dis=${dis:-0}
  bad=$((fails + errs + skipped))
  good=$((tests - dis - fails - errs - skipped))
  (( good < 0 )) && good=0
  passed=$((passed + good)); failed=$((failed + bad))
  if [[ $tests -eq 0 ]]; then
    failed=$((failed + 1)); echo "== $name: FAILED, reported no test"
  elif [[ $rc -ne 0 && $bad -eq 0 ]]; then
    failed=$((failed + 1)); echo "== $name: FAILED, exit code $rc"
  fi
  [[ $skipped -gt 0 ]] && grep -B1 '<skipped' "$xml" | sed -nE 's/.*testcase name="([^"]+)".*/   skipped (counted as failed): \1/p'
  echo "== $name: $good passed, $bad failed"
}

# Counts a program of the list that the build did not produce.
missing_program() {
  failed=$((failed + 1)); echo "== $1: FAILED, the program was not built"
}
