#!/usr/bin/env bash
# tomodb.exe under Wine exports the sample to CSV, and to SQLite, as the Linux tomodb does.
#   wine_smoke.sh TOMODB_EXE NATIVE_TOMODB WINE SAMPLE_FOLDER
set -euo pipefail
exe=$1 native=$2 wine=$3 sample=$4
[ -x "$native" ] || { echo "no Linux tomodb at $native (build the native preset first)"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# Z: is the Unix root under Wine.
"$wine" "$exe" export "Z:$sample" -o "Z:$out/wine.csv"
"$native" export "$sample" -o "$out/native.csv"
cmp "$out/wine.csv" "$out/native.csv"
"$wine" "$exe" export "Z:$sample" --format sqlite -o "Z:$out/wine.sqlite"
"$native" export "$sample" --format sqlite -o "$out/native.sqlite"
[ "$(sqlite3 "$out/wine.sqlite" .dump)" = "$(sqlite3 "$out/native.sqlite" .dump)" ]
[ "$(ls -A "$out" | wc -l)" -eq 4 ]  # nothing else left beside the outputs
echo "tomodb.exe exports the sample as the Linux tomodb does"
