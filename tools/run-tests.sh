#!/usr/bin/env bash
# Runs every test of TOMO: the core tests natively and under the sanitizers, the Win32-layer
# tests under Wine, the end-to-end tests of tomo.exe under Wine and Xvfb, and a short fuzzing
# run. Installs what it needs. Ends with one line "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/lib/packages.sh
tomo_ensure_packages tests || { echo "0 passed, 1 failed"; exit 1; }

passed=0
failed=0
log_dir=$(mktemp -d)

# Adds the counts of a ctest run's summary line to the totals.
count_ctest() {
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then
    failed=$((failed + 1))
    return
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

# Adds the counts of a plain "N passed, N failed" line to the totals.
count_plain() {
  local line
  line=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$1" | tail -n 1)
  if [ -z "$line" ]; then
    failed=$((failed + 1))
    return
  fi
  passed=$((passed + $(cut -d' ' -f1 <<<"$line")))
  failed=$((failed + $(sed -E 's/.*, ([0-9]+) failed.*/\1/' <<<"$line")))
}

# Builds a preset; a failed build counts as one failed test.
build() {
  local preset=$1
  echo "== build $preset"
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j2; } \
      >"$log_dir/build-$preset.log" 2>&1; then
    tail -n 40 "$log_dir/build-$preset.log"
    failed=$((failed + 1))
    return 1
  fi
}

run_ctest() {
  local preset=$1
  echo "== ctest $preset"
  ctest --preset "$preset" -j2 2>&1 | tee "$log_dir/ctest-$preset.log" | tail -n 15
  count_ctest "$log_dir/ctest-$preset.log"
}

# The SQLite amalgamation that every build compiles in (a configure fetches it too; without
# it the Linux builds would fall back to the system's SQLite).
if ! bash tools/fetch-sqlite-amalgamation.sh build/sqlite-amalgamation; then
  failed=$((failed + 1))
fi

if build native; then run_ctest native; fi
if build sanitize; then run_ctest sanitize; fi
if build mingw; then
  # A fresh Wine prefix for the Win32-layer tests.
  WINEPREFIX=$(mktemp -d)
  export WINEPREFIX WINEDEBUG=-all
  run_ctest mingw
  wineserver -k 2>/dev/null || true
  unset WINEPREFIX
fi

if [ -x tests/e2e/run-all.sh ] && [ -f build/mingw/src/platform/win32/tomo.exe ]; then
  echo "== end-to-end"
  tests/e2e/run-all.sh 2>&1 | tee "$log_dir/e2e.log" | tail -n 40
  count_plain "$log_dir/e2e.log"
fi

if [ -x tests/fuzz/run-fuzz.sh ]; then
  echo "== fuzz"
  tests/fuzz/run-fuzz.sh 2>&1 | tee "$log_dir/fuzz.log" | tail -n 10
  count_plain "$log_dir/fuzz.log"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
