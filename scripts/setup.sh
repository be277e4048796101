#!/usr/bin/env bash
# Installs what is missing (Debian 12 packages), configures and builds Veloran, then
# runs the app ("run"), every test ("test"), or nothing more ("build", "deps").
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${VELORAN_BUILD_DIR:-$here/build}

build_packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-image-formats-plugins
  libexiv2-dev libheif-dev libgeonames-dev libxcb1-dev libxcb-keysyms1-dev libsystemd-dev libpng-dev libgl-dev
  fonts-dancingscript fonts-dejavu-core locales
)
test_packages=(
  python3 xvfb openbox picom hsetroot xdotool xclip trayer x11-xserver-utils x11-utils
  xfwm4 dbus-daemon xserver-xorg-core xserver-xorg-video-dummy
  imagemagick libimage-exiftool-perl libheif-examples
  clang libclang-rt-14-dev
  desktop-file-utils appstream dpkg-dev file
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

configure_and_build() {
  local extra=()
  # CI holds project code to zero warnings.
  [ "${CI:-}" = true ] && extra+=(-DVELORAN_WERROR=ON)
  cmake -S "$here" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${VELORAN_BUILD_TYPE:-RelWithDebInfo}" \
    "${extra[@]}" "$@" >/dev/null
  cmake --build "$build_dir"
}

mode=${1:-build}
shift || true
case "$mode" in
  deps)
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    ;;
  build)
    install_missing "${build_packages[@]}"
    configure_and_build "$@"
    ;;
  run)
    install_missing "${build_packages[@]}"
    configure_and_build
    if [ ! -x "$build_dir/app/veloran" ]; then
      echo "Built the libraries; the veloran executable is not part of this version yet." >&2
      exit 0
    fi
    exec "$build_dir/app/veloran" "$@"
    ;;
  test)
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    configure_and_build "$@"
    ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
    ;;
  *)
    echo "usage: $0 {run|test|build|deps} [args]" >&2
    exit 2
    ;;
esac
