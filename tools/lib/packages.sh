# The Debian packages TOMO needs, by purpose, and installing the missing ones. Sourced by
# the run and test scripts; uses apt-get, as root or through sudo.
#
#   tomodb  building and running tomodb on Linux
#   viewer  building tomo.exe and tomodb.exe with MinGW-w64 and running them under Wine,
#           on a display of their own when there is none
#   tests   every test: the two above, GoogleTest, the end-to-end tools, the fuzzer

# libsqlite3-dev: the SQLite that tomodb falls back to without the amalgamation.
TOMO_PACKAGES_TOMODB=(cmake ninja-build g++ libsqlite3-dev)
# python3 draws the program's icon at build time; Xvfb, openbox, xdotool, xwd (x11-apps) and
# ImageMagick give tools/screenshot.sh a display and a PNG.
TOMO_PACKAGES_VIEWER=(cmake ninja-build python3 g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 xvfb openbox xdotool x11-apps imagemagick)
TOMO_PACKAGES_TESTS=("${TOMO_PACKAGES_TOMODB[@]}" "${TOMO_PACKAGES_VIEWER[@]}"
  googletest sqlite3 xclip clang libclang-rt-14-dev clang-format zip)

# The packages of the given purposes, one per line.
tomo_packages() {
  local purpose
  for purpose in "$@"; do
    case $purpose in
      tomodb) printf '%s\n' "${TOMO_PACKAGES_TOMODB[@]}" ;;
      viewer) printf '%s\n' "${TOMO_PACKAGES_VIEWER[@]}" ;;
      tests) printf '%s\n' "${TOMO_PACKAGES_TESTS[@]}" ;;
      *) echo "unknown purpose $purpose (tomodb, viewer, tests)" >&2; return 1 ;;
    esac
  done
}

# Installs what the given purposes need and is missing.
tomo_ensure_packages() {
  local wanted missing=() p
  wanted=$(tomo_packages "$@") || return 1
  for p in $(sort -u <<<"$wanted"); do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  # npm fetches the SQLite amalgamation that tomodb and tomodb.exe compile in; a Node.js
  # installed otherwise may bring its own npm (and conflict with Debian's).
  command -v npm >/dev/null || missing+=(npm)
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
