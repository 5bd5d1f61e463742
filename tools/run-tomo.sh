#!/usr/bin/env bash
# Builds tomo.exe with MinGW-w64 and starts it under Wine (needs a display) on the database
# at PATH (its folder or either of its files), or on the sample database without one.
#
#   tools/run-tomo.sh [PATH]
set -euo pipefail
# Relative to where the command is given, before moving to the project's folder.
path=$(realpath -m "${1:-$(dirname "$0")/../samples/agenda}")
cd "$(dirname "$0")/.."
source tools/lib/packages.sh
tomo_ensure_packages viewer
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target tomo
export WINEDEBUG=-all
exec wine build/mingw/src/platform/win32/tomo.exe "$(winepath -w "$path")"
