#!/usr/bin/env bash
# Makes the Debian package from a built folder (default: build/) and meets it as a user
# would: valid desktop file and AppStream description, installed with apt, the installed
# program started under an X server of its own with an empty home and kept running, every
# library it loads owned by a package its dependencies bring, then removed again.
# Installs and removes the package "veloran" on this machine: run it as root or with sudo.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=$(cd "${1:-$here/build}" && pwd)
work=$(mktemp -d)
xvfb_pid=
app_pid=
installed=

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

fail() {
  echo "check-package: $*" >&2
  exit 1
}

cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  if [ -n "$installed" ]; then
    as_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq --purge veloran >/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli file Xvfb apt-cache; do
  command -v "$tool" >/dev/null || fail "$tool is missing (./scripts/setup.sh deps installs it)"
done

echo "== package"
cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(echo "$work"/out/veloran_*.deb)
[ -f "$deb" ] || fail "cpack made no veloran_*.deb"
version=$(dpkg-deb -f "$deb" Version)
echo "$(basename "$deb"): $(du -h "$deb" | cut -f1)"

echo "== contents"
root=$work/root
dpkg-deb -x "$deb" "$root"
desktop=$root/usr/share/applications/veloran.desktop
metainfo=$(echo "$root"/usr/share/metainfo/*.metainfo.xml)
icons=$root/usr/share/icons/hicolor
for f in "$root/usr/bin/veloran" "$desktop" "$metainfo" \
  "$icons/scalable/apps/veloran.svg" "$icons/symbolic/apps/veloran-symbolic.svg"; do
  [ -f "$f" ] || fail "the package lacks ${f#"$root"}"
done
file -b "$root/usr/bin/veloran" | grep -q '^ELF 64-bit.*, stripped' || fail "/usr/bin/veloran is not a stripped executable"
for svg in "$icons"/*/apps/*.svg; do
  file -b "$svg" | grep -q 'SVG' || fail "${svg#"$root"} is not an SVG image"
done
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$icons/scalable/apps/$icon.svg" ] || fail "the desktop file names the icon '$icon', which the package lacks"
desktop-file-validate "$desktop" | grep -v ': hint: ' || true
desktop-file-validate "$desktop" >/dev/null || fail "desktop-file-validate failed"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate failed"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the AppStream releases lack version $version"

echo "== install"
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; fail "apt-get install failed"; }
installed=1
depends=$(dpkg -s veloran | sed -n 's/^Depends: //p')
echo "Depends: $depends"
for p in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6svg6 \
  libexiv2-27 libheif1 qt6-image-formats-plugins; do
  [[ ", $depends," == *", $p "* || ", $depends," == *", $p,"* ]] || fail "Depends lacks $p"
done

echo "== start"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
display=:$(cat "$work/display")
mkdir -p "$work/home" && mkdir -m 700 "$work/runtime"
env -i PATH=/usr/bin:/bin LANG=C.UTF-8 HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" DISPLAY="$display" \
  /usr/bin/veloran >"$work/app.log" 2>&1 &
app_pid=$!
sleep 3
kill -0 "$app_pid" 2>/dev/null || { cat "$work/app.log"; fail "veloran exited within 3 seconds"; }
[ -d "$work/home/Pictures/Veloran.collagelibrary" ] || { cat "$work/app.log"; fail "veloran made no library in its home"; }

# Every library the running program mapped, plugins included, must come with the package;
# except Xcursor (which brings Xrender), which Qt's xcb plugin opens for themed cursors
# only where it is installed.
apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts --no-breaks \
  --no-replaces --no-enhances veloran | grep -v '^ ' | sort -u >"$work/closure"
grep -o '/[^ ]*\.so[^ ]*$' "/proc/$app_pid/maps" | sort -u >"$work/mapped"
strays=()
while read -r lib; do
  case $lib in */libXcursor.so* | */libXrender.so*) continue ;; esac
  owner=$({ dpkg -S "$lib" || dpkg -S "${lib#/usr}"; } 2>/dev/null | head -n1 || true)
  package=${owner%%:*}
  grep -qx "${package:-?}" "$work/closure" || strays+=("$lib (${package:-no package})")
done <"$work/mapped"
[ ${#strays[@]} -eq 0 ] || fail "loaded from outside the package's dependencies: ${strays[*]}"
echo "$(wc -l <"$work/mapped") libraries loaded, all from the package's dependencies"

kill -TERM "$app_pid"
status=0
wait "$app_pid" || status=$?
app_pid=
[ "$status" -eq 0 ] || { cat "$work/app.log"; fail "veloran exited with $status on SIGTERM"; }

echo "== remove"
as_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq --purge veloran >/dev/null
installed=
[ ! -e /usr/bin/veloran ] || fail "/usr/bin/veloran is still there after removal"
echo "package check passed: veloran $version"
