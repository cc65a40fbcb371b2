#!/usr/bin/env bash
# Runs the libFuzzer targets of the native build for a bounded time each.
#   scripts/fuzz.sh [PROBE_SECONDS [OTHER_SECONDS]]   (default 30 and 10)
# The corpus grows in build/native/fuzz/corpus; a crashing input is saved in
# build/test-artifacts/fuzz/ and the run fails. Keep every finding, once
# fixed, in tests/fuzz/regressions/<target>/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bin="$here/build/native/bin"
work="$here/build/native/fuzz"
artifacts="$here/build/test-artifacts/fuzz"
probe_seconds=${1:-30}
other_seconds=${2:-10}
mkdir -p "$artifacts"
"$bin/make_fuzz_seeds" "$work/seeds" >/dev/null
for target in probe number placeholder; do
  seconds=$other_seconds
  [ "$target" = probe ] && seconds=$probe_seconds
  mkdir -p "$work/corpus/$target"
  regressions="$here/tests/fuzz/regressions/$target"
  dirs=("$work/corpus/$target" "$work/seeds/$target")
  [ -d "$regressions" ] && dirs+=("$regressions")
  log="$artifacts/$target.log"
  if ! "$bin/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 -max_len=40000 \
       -artifact_prefix="$artifacts/$target-" "${dirs[@]}" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: $target failed; the input is in $artifacts" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1)
  echo "fuzz: $target: $runs runs in ${seconds}s, $cov, no findings"
done
