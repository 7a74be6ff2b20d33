#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang in build/fuzz and runs each for a bounded
# time (FUZZ_SECONDS, default 20). Arguments name targets to run (ini, bmp, ...); default all.
# A target that crashes, hangs or breaks one of its checks fails; its input is kept under
# build/fuzz/crashes/, replayed first by every later run until it passes, and can be replayed by
# hand with `build/fuzz/tests/fuzz/fuzz_<name> <file>`.
# A target that gets through fewer inputs than its floor (tests/fuzz/floors.txt, scaled to the run's
# length) fails too: it has slowed down so far that its short run no longer tests anything.
# Writes build/results/fuzz.xml (one test case per target) and ends with "N passed, M failed".
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
BUILD="$ROOT/build/fuzz"
RESULTS="$ROOT/build/results"
SECONDS_EACH=${FUZZ_SECONDS:-20}
mkdir -p "$RESULTS"
rm -f "$RESULTS"/fuzz.xml "$RESULTS"/fuzz-*.log

if [[ $# -gt 0 ]]; then
  targets=("$@")
else
  targets=()
  for src in tests/fuzz/fuzz_*.cpp; do
    name=$(basename "$src" .cpp); targets+=("${name#fuzz_}")
  done
fi

if [[ ! -f "$BUILD/build.ninja" ]]; then
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCORALVANE_FUZZ=ON -DSKIN_DIR="$BUILD/skin" >/dev/null || { echo "0 passed, 1 failed"; exit 1; }
fi
if ! nice -n 10 cmake --build "$BUILD" -j 2 --target "${targets[@]/#/fuzz_}"; then
  echo "0 passed, 1 failed"; exit 1
fi

# Binary seeds are written here rather than kept in the repository.
SEEDS="$BUILD/seeds"
hex_to_file() {
  printf '%b' "$(tr -d ' \n' <<<"$1" | sed 's/../\\x&/g')" > "$2"
}
write_seeds() {
  mkdir -p "$SEEDS/bmp" "$SEEDS/scenario" "$SEEDS/driver_records" "$SEEDS/main_window" "$SEEDS/lighting"
  local info="28000000 02000000 02000000 0100 1800 00000000 10000000 130b0000 130b0000 00000000 00000000"
  hex_to_file "424d 46000000 00000000 36000000 $info 0000ff 00ff00 0000 ff0000 ffffff 0000" \
    "$SEEDS/bmp/rgb24.bmp"
  hex_to_file "424d 46000000 00000000 3e000000 28000000 03000000 feffffff 0100 0100 00000000 08000000
    130b0000 130b0000 02000000 02000000 00000000 ffffff00 a0000000 40000000" "$SEEDS/bmp/mono-top-down.bmp"
  hex_to_file "424d 3a000000 00000000 36000000 28000000 01000000 01000000 0100 2000 00000000 04000000
    130b0000 130b0000 00000000 00000000 11223344" "$SEEDS/bmp/rgb32.bmp"
  local palette=""
  for i in $(seq 0 15); do palette+=$(printf '%02x%02x%02x' $((i * 16)) $((255 - i * 16)) $((i * 8))); done
  hex_to_file "424d 4e000000 00000000 4a000000 0c000000 0200 0100 0100 0400 $palette 1f000000" \
    "$SEEDS/bmp/core4.bmp"
  cp sim/scenarios/*.scn "$SEEDS/scenario/"
  # A driver that answers every call with success and zero counts, and one that fills every byte.
  head -c 512 /dev/zero > "$SEEDS/driver_records/all-zero"
  head -c 4096 /dev/zero | tr '\0' '\377' > "$SEEDS/driver_records/all-ones"
  # Behind the main window: no GPU at all, one GPU whose every answer is a small success, and a
  # driver that lacks every function.
  head -c 512 /dev/zero > "$SEEDS/main_window/no-gpu"
  head -c 4096 /dev/zero | tr '\0' '\001' > "$SEEDS/main_window/one-gpu"
  head -c 4096 /dev/zero | tr '\0' '\377' > "$SEEDS/main_window/no-functions"
  # Lighting replies: a layout answer, and a whole zone status (400 payload bytes).
  hex_to_file "ffaa 0000 312e3000 0d 0001 0c ff55" "$SEEDS/lighting/layout-reply"
  { printf '\xff\xaa\x00\x00\x31\x2e\x30\x00\x01\x01\x90'; head -c 400 /dev/zero; printf '\xff\x55'; } \
    > "$SEEDS/lighting/zone-status"
  # Scenario sections, keys and function names as the fuzzer's words, so it writes lines the
  # parser gets past.
  {
    printf '"[driver]"\n"[gpu]"\n"[display]"\n" = "\n"yes"\n"no"\n"none"\n"single"\n"range"\n'
    printf '"graphics"\n"memory"\n"editable"\n"locked"\n"skipped"\n"0x"\n'
    grep -ohE 'AddKey\("[a-z]+", *"[a-z0-9_]+"' sim/*.cpp | sed -E 's/.*"([a-z0-9_]+)"$/"\1"/'
    grep -ohE '\{QueryId::[A-Za-z0-9]+, "[A-Za-z0-9_]+"\}' src/gpu/NvQueryIds.h | sed -E 's/.*, ("[^"]+")\}/\1/'
  } | sort -u > "$BUILD/scenario.dict"
}
write_seeds

passed=0; failed=0
cases=""
# Records one target's outcome in the report; a failure also says what broke and where.
record() {
  local name=$1 rc=$2 took=$3 log=$4 artifact=$5
  if [[ $rc -eq 0 ]]; then
    passed=$((passed + 1))
    cases+="    <testcase name=\"$name\" status=\"run\" time=\"$took\" classname=\"fuzz\" />"$'\n'
    return
  fi
  failed=$((failed + 1))
  local finding message
  finding=$(grep -m1 -E 'fuzz check failed|ERROR: (AddressSanitizer|libFuzzer|LeakSanitizer)|runtime error' "$log")
  echo "== fuzz $name: FAILED (exit code $rc): ${finding:-see $log}"
  [[ -n "$artifact" ]] && echo "   input kept in $artifact"
  grep -E '^ +#[0-9]+ ' "$log" | grep -F "$ROOT/" | grep -vF "$BUILD/" | head -8 | sed 's/^/   /'
  message=$(sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g' -e 's/"/\&quot;/g' \
    <<<"${finding:-exit code $rc} ${artifact}")
  cases+="    <testcase name=\"$name\" status=\"run\" time=\"$took\" classname=\"fuzz\">"$'\n'
  cases+="      <failure message=\"$message\" />"$'\n'"    </testcase>"$'\n'
}

for name in "${targets[@]}"; do
  binary="$BUILD/tests/fuzz/fuzz_$name"
  corpus="$BUILD/corpus/$name"
  log="$RESULTS/fuzz-$name.log"
  mkdir -p "$corpus" "$BUILD/crashes"
  : >"$log"

  # Inputs that crashed an earlier run are tried first: one that still crashes fails the target
  # until the fault is fixed, one that no longer does joins the corpus as a regression seed.
  still=""
  for crash in "$BUILD/crashes/$name-"*; do
    [[ -f "$crash" ]] || continue
    if nice -n 10 "$binary" "$crash" >>"$log" 2>&1; then mv "$crash" "$corpus/"; else still=$crash; break; fi
  done
  if [[ -n "$still" ]]; then
    echo "== fuzz $name: an earlier finding still fails"
    record "$name" 1 0 "$log" "$still"
    continue
  fi

  args=(-max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
    -artifact_prefix="$BUILD/crashes/$name-")
  # tests/fuzz/<name>.options: more libFuzzer flags for one target, one a line.
  [[ -f "tests/fuzz/$name.options" ]] && mapfile -t -O ${#args[@]} args < "tests/fuzz/$name.options"
  [[ -f "tests/fuzz/$name.dict" ]] && args+=(-dict="tests/fuzz/$name.dict")
  [[ -f "$BUILD/$name.dict" ]] && args+=(-dict="$BUILD/$name.dict")
  seeds=()
  for dir in "tests/fuzz/corpus/$name" "$SEEDS/$name"; do [[ -d "$dir" ]] && seeds+=("$dir"); done

  # A corpus only grows; once it is large, it is cut to the inputs that still add coverage, so that
  # loading it does not eat the run's time.
  if [[ $(find "$corpus" -type f | wc -l) -gt 2000 ]]; then
    rm -rf "$corpus.merged"; mkdir -p "$corpus.merged"
    if nice -n 10 "$binary" -merge=1 "${args[@]:1}" "$corpus.merged" "$corpus" >>"$log" 2>&1; then
      rm -rf "$corpus"; mv "$corpus.merged" "$corpus"
    fi
    rm -rf "$corpus.merged"
  fi

  echo "== fuzz $name (${SECONDS_EACH}s)"
  start=$(date +%s)
  nice -n 10 "$binary" "${args[@]}" "$corpus" "${seeds[@]}" >>"$log" 2>&1
  rc=$?
  took=$(($(date +%s) - start))
  if [[ $rc -eq 0 ]]; then
    runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+)/\1/p' "$log" | tail -1)
    # The floor is per 20 s of fuzzing; a target not listed gets the default line's.
    floor=$(awk -v n="$name" '$1==n {print $2; f=1} END {if (!f) print ""}' tests/fuzz/floors.txt)
    [[ -n "$floor" ]] || floor=$(awk '$1=="default" {print $2}' tests/fuzz/floors.txt)
    floor=$(( ${floor:-0} * SECONDS_EACH / 20 ))
    echo "== fuzz $name: ${runs:-0} inputs (floor $floor), no finding"
    if (( ${runs:-0} < floor )); then
      echo "fuzz check failed: only ${runs:-0} inputs in ${SECONDS_EACH} s, below the floor of $floor" >>"$log"
      rc=1
    fi
  fi
  record "$name" "$rc" "$took" "$log" "$(sed -nE 's/.*Test unit written to (.*)$/\1/p' "$log" | tail -1)"
done

total=${#targets[@]}
cat > "$RESULTS/fuzz.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<testsuites tests="$total" failures="$failed" disabled="0" errors="0" name="fuzz">
  <testsuite name="fuzz" tests="$total" failures="$failed" disabled="0" errors="0">
$cases  </testsuite>
</testsuites>
XML

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
