#!/usr/bin/env bash
# Renews docs/grid.png (or OUTPUT), the picture of the grid: builds tomo.exe with MinGW-w64,
# runs it under Wine on an Xvfb display with openbox, links samples/agenda and saves the
# window once the grid shows the records. Every wait has a time limit; the Wine prefix is
# fresh and its wineserver is ended afterwards.
#
#   bash tools/screenshot.sh [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/lib/packages.sh
tomo_ensure_packages viewer
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j2 --target tomo tomo_probe
build=build/mingw
exec python3 tools/screenshot.py --tomo "$build/src/platform/win32/tomo.exe" \
  --probe "$build/tests/tomo_probe.exe" --sample samples/agenda --output "${1:-docs/grid.png}"
