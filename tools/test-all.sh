#!/usr/bin/env bash
# Builds every preset and runs every suite, then prints one summary line.
# Exits non-zero when any build or test failed.
set -u
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}
passed=0
failed=0
status=0
start=$(date +%s)

for preset in native native-tsan win64 win32; do
  echo "=== build $preset"
  if ! { [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null; } ||
     ! cmake --build --preset "$preset" -j"$jobs"; then
    echo "build $preset FAILED"
    status=1
    failed=$((failed + 1))
  fi
done

# Runs one ctest and adds its counts to the totals.
run_ctest() {
  local log rc summary total bad
  log=$(mktemp)
  ctest "$@" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
  rm -f "$log"
  if [ -n "$summary" ]; then
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    bad=$(sed -E 's/.*, ([0-9]+) tests failed.*/\1/' <<<"$summary")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  elif [ "$rc" -ne 0 ]; then
    failed=$((failed + 1))
  fi
  if [ "$rc" -ne 0 ]; then status=1; fi
}

for preset in native native-tsan win64; do
  echo "=== test $preset"
  run_ctest --preset "$preset"
done

# The 32-bit build runs no tests under Wine, but its packages are checked.
echo "=== test win32 packages"
run_ctest --test-dir build/win32 --output-on-failure -L package

echo "make test took $(( $(date +%s) - start )) s"
echo "total: $passed passed, $failed failed"
exit $status
