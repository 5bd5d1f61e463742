#!/usr/bin/env bash
# Builds the file-reader fuzz target with clang and libFuzzer, runs it for a short time and
# ends with "N passed, N failed" (1 passed when it found nothing).
set -uo pipefail
cd "$(dirname "$0")/../.."
seconds=${TOMO_FUZZ_SECONDS:-60}
if ! { cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j2; } >/tmp/tomo-fuzz-build.log 2>&1; then
  tail -n 30 /tmp/tomo-fuzz-build.log
  echo "0 passed, 1 failed"
  exit 1
fi
corpus=$(mktemp -d)
if build/fuzz/tests/fuzz/tomo_fuzz_readers -max_total_time="$seconds" -max_len=2048 -timeout=10 \
    "$corpus" 2>&1 | tail -n 5; then
  echo "1 passed, 0 failed"
else
  echo "0 passed, 1 failed"
  exit 1
fi
