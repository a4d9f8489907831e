#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz") and runs each for the given
# number of seconds, one after the other. Seeds come from fuzz/corpus/<name>;
# new inputs go to build/fuzz/corpus/<name>, crashes to build/fuzz/artifacts.
#   run-fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(mime_decode message url filter_list address_file power_file pop3_reply accounts_file)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"${JOBS:-2}" --target kivo_fuzzers

out=build/fuzz
mkdir -p "$out/artifacts"
status=0
for t in "${targets[@]}"; do
  mkdir -p "$out/corpus/$t"
  echo "== fuzz_$t for ${seconds}s"
  "$out/fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/${t}-" "$out/corpus/$t" "fuzz/corpus/$t" || status=1
done
exit $status
