#!/usr/bin/env bash
# Brisquel 2: install the missing Debian packages, build, then play or test.
#   ./build.sh          build and start the game
#   ./build.sh test     build and run every test
#   ./build.sh build    only build
set -euo pipefail
mode=${1:-play}
cd "$(dirname "$0")"

want() { grep -v -e '^#' -e '^[[:space:]]*$' "$@" || true; }
pkgs=$(want tools/apt-packages.txt)
[ "$mode" = test ] && pkgs="$pkgs $(want tools/apt-packages-test.txt)"
missing=()
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "missing packages: ${missing[*]} (run as root or install sudo)" >&2; exit 1; }
    SUDO=sudo
  fi
  echo "installing: ${missing[*]}"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

BUILD=${BUILD_DIR:-build}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_ARGS:-}
cmake --build "$BUILD"

case "$mode" in
  play)  exec "$BUILD/bin/brisquel2" ;;
  test)  ctest --test-dir "$BUILD" -j"$(nproc)" --output-on-failure ;;
  build) ;;
  *) echo "usage: $0 [play|test|build]" >&2; exit 2 ;;
esac
