#!/usr/bin/env bash
# Puts the SQLite amalgamation (sqlite3.c, sqlite3.h) into DIR for the Windows build of
# tomodb, unless it is there already. Debian has none for MinGW; the npm registry's
# better-sqlite3 package carries one in deps/sqlite3/ (as plain files, or in an archive in
# deps/ in some versions). Needs npm.
#
#   tools/fetch-sqlite-amalgamation.sh DIR [PACKAGE]     PACKAGE: better-sqlite3@12.11.1
set -euo pipefail
dir=$1
package=${2:-better-sqlite3@12.11.1}
[ -f "$dir/sqlite3.c" ] && [ -f "$dir/sqlite3.h" ] && exit 0
command -v npm >/dev/null || { echo "fetch-sqlite-amalgamation: npm is needed" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "$package" >/dev/null </dev/null)
tar -xzf "$work"/*.tgz -C "$work" package/deps
source=$work/package/deps/sqlite3
if [ ! -f "$source/sqlite3.c" ]; then
  # An archive of the amalgamation inside deps/.
  mkdir -p "$work/unpacked"
  for archive in "$work"/package/deps/*.tar.gz "$work"/package/deps/*.tar "$work"/package/deps/*.zip; do
    [ -f "$archive" ] || continue
    case $archive in
      *.zip) python3 -m zipfile -e "$archive" "$work/unpacked" ;;
      *) tar -xf "$archive" -C "$work/unpacked" ;;
    esac
  done
  source=$(dirname "$(find "$work/unpacked" -name sqlite3.c | head -n 1)")
fi
[ -f "$source/sqlite3.c" ] || { echo "fetch-sqlite-amalgamation: no sqlite3.c in $package" >&2; exit 1; }
mkdir -p "$dir"
cp "$source/sqlite3.h" "$dir/"
cp "$source/sqlite3.c" "$dir/sqlite3.c.part"
mv "$dir/sqlite3.c.part" "$dir/sqlite3.c"
version=$(sed -n 's/^#define SQLITE_VERSION  *"\(.*\)"/\1/p' "$dir/sqlite3.h")
echo "$package, SQLite $version" > "$dir/SOURCE"
echo "SQLite $version from $package in $dir"
