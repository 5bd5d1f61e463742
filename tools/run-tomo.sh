#!/usr/bin/env bash
# Builds tomo.exe with MinGW-w64 and starts it under Wine (needs a display).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/lib/packages.sh
tomo_ensure_packages viewer
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target tomo
export WINEDEBUG=-all
exec wine build/mingw/src/platform/win32/tomo.exe
