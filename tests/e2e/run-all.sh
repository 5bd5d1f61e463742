#!/usr/bin/env bash
# Runs every end-to-end scenario of tomo.exe under Wine, Xvfb and openbox. Each scenario gets
# a display, Wine prefix and HOME of its own. Ends with one line "N passed, N failed".
# TOMO_BUILD_DIR names the MinGW build (default build/mingw); screenshots of failures are kept
# in $TOMO_BUILD_DIR/e2e-artifacts. The scenarios make their databases with make_sample of the
# native build named by TOMO_NATIVE_BUILD_DIR (default build/native).
set -uo pipefail
cd "$(dirname "$0")/../.."
build=${TOMO_BUILD_DIR:-build/mingw}
tomo=$build/src/platform/win32/tomo.exe
probe=$build/tests/tomo_probe.exe
make_sample=${TOMO_NATIVE_BUILD_DIR:-build/native}/tools/make_sample
for f in "$tomo" "$probe" "$make_sample"; do
  if [ ! -f "$f" ]; then
    echo "missing $f: build the mingw and native presets first"
    echo "0 passed, 1 failed"
    exit 1
  fi
done
for tool in wine wineserver Xvfb openbox xdotool xwd python3; do
  if ! command -v "$tool" >/dev/null; then
    echo "missing $tool"
    echo "0 passed, 1 failed"
    exit 1
  fi
done
exec python3 tests/e2e/scenarios.py --tomo "$tomo" --probe "$probe" \
  --sample samples/agenda --sample-source samples/agenda.txt --make-sample "$make_sample" \
  --artifacts "$build/e2e-artifacts" "$@"
