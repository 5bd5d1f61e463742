#!/usr/bin/env bash
# Installs the Debian packages that the given purposes need (tomodb, viewer, tests), when
# missing:   bash tools/install-packages.sh tomodb
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/lib/packages.sh
[ $# -gt 0 ] || { echo "usage: tools/install-packages.sh tomodb|viewer|tests..." >&2; exit 2; }
tomo_ensure_packages "$@"
