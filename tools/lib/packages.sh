# Installs the Debian packages that building, running and testing TOMO need, when missing.
# Sourced by the run and test scripts; uses apt-get, as root or through sudo.

TOMO_PACKAGES=(
  cmake ninja-build g++ clang-format googletest python3
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 xvfb openbox xdotool xclip x11-apps imagemagick
  clang libclang-rt-14-dev zip
  libsqlite3-dev sqlite3
)

tomo_ensure_packages() {
  local missing=()
  for p in "${TOMO_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  # npm fetches the SQLite amalgamation of tomodb.exe; a Node.js installed otherwise may
  # bring its own npm (and conflict with Debian's).
  command -v npm >/dev/null || missing+=(npm)
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
