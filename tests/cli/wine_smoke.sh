#!/usr/bin/env bash
# tomodb.exe under Wine exports the sample to CSV, and to SQLite, as the Linux tomodb does;
# and a database holding every byte in its names and values, byte for byte alike in the code
# pages 1252, 850, 1251 and 932 (lead bytes alone, before a zero, before a byte that makes no
# pair), and 1255 and 1258 (letters before the accents that glibc would combine them with);
# and every pair of a byte from 0x80 on and a nonzero byte, one to a record, alike in the
# double-byte code pages 932, 936, 949 and 950.
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

pages=$(mktemp -d)
trap 'rm -rf "$out" "$pages"' EXIT
python3 - "$(dirname "$0")" "$pages/bytes" "$pages/pairs" <<'PYTHON'
import sys
sys.path.insert(0, sys.argv[1])
from tomodb_test import write_database, value_entries
every = bytes(range(256))
names = [every[k:k + 30] for k in range(1, 256, 30)]
pairs = b"".join(bytes([b]) + b"x" + bytes([b]) + b"\0" + bytes([b]) for b in range(0x80, 0x100))
entries = value_entries(names[0], 1, every) + value_entries(names[1], 1, every[::-1])
entries += value_entries(names[2], 1, pairs)
entries += value_entries(names[3], 1, b"\xf9\xd1\xe0\xc8a\xeco\xcc\xc3\xde")
for b in range(0x80, 0x100):  # a lead byte at the end of a value
    entries += value_entries(names[0], b - 126, bytes([b]))
    entries += value_entries(names[1], b - 126, b"a" + bytes([b]))
write_database(sys.argv[2], [(name, 3, b"") for name in names], entries)
pairs = [value_entries(b"F", 1 + k, bytes([k // 255 + 0x80, k % 255 + 1])) for k in range(128 * 255)]
write_database(sys.argv[3], [(b"F", 3, b"")], [entry for value in pairs for entry in value])
PYTHON
same() {  # database code-page format
  "$wine" "$exe" export "Z:$pages/$1" --code-page $2 --format $3 -o "Z:$pages/wine"
  "$native" export "$pages/$1" --code-page $2 --format $3 -o "$pages/native"
  cmp "$pages/wine" "$pages/native" || { echo "$1, code page $2, $3: files differ"; exit 1; }
  rm "$pages/wine" "$pages/native"
}
for page in 1252 850 1251 932 1255 1258; do
  for format in csv jsonl; do same bytes $page $format; done
done
for page in 932 936 949 950; do same pairs $page jsonl; done
echo "tomodb.exe exports the sample, every byte in six code pages and every pair in four, as the Linux tomodb does"
