#!/usr/bin/env bash
# Builds the Debian package of a configured build folder with cpack, unpacks it into a fresh folder (as a
# clean installation would lay it out) and checks what a technician's machine needs: every shared library
# found, every program answering --version from the unpacked files, the desktop entry, the icon and the
# AppStream metadata valid and matching, a man page for each program.
#
# Usage: tools/package-check.sh [BUILD_DIR]   (default: build; configure and build it first)
# Needs: cmake (cpack), dpkg-dev (dpkg-shlibdeps), file, desktop-file-utils, appstream.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)

fail() {
  echo "package-check: $*" >&2
  exit 1
}
note() { echo "package-check: $*"; }

for tool in cpack dpkg-deb dpkg-shlibdeps file ldd desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || fail "$tool is missing (Debian packages: dpkg-dev file desktop-file-utils appstream)"
done
[ -f "$build/CPackConfig.cmake" ] || fail "$build is not a configured build folder (no CPackConfig.cmake)"

with_ui=$(sed -n 's/^HX350_WITH_UI:BOOL=//p' "$build/CMakeCache.txt")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"

# ---- Build the package ----
targets=(hx350-sim hx350-cfg)
[ "$with_ui" = ON ] && targets+=(hx350)
cmake --build "$build" --target "${targets[@]}"
out="$build/package"
rm -rf "$out"
cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out.log" 2>&1 || {
  cat "$out.log" >&2
  fail "cpack failed"
}
shopt -s nullglob
debs=("$out"/hx350_*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one hx350_*.deb in $out, found ${#debs[@]}"
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "hx350_${version}_${arch}.deb" ] || fail "unexpected file name $(basename "$deb")"
note "built $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"

# ---- Control fields ----
field() { dpkg-deb --field "$deb" "$1"; }
for name in Package Version Architecture Maintainer Section Homepage Depends Description; do
  [ -n "$(field "$name")" ] || fail "control field $name is empty"
done
[ "$(field Version)" = "$version" ] || fail "package version $(field Version) is not $version"
depends=$(field Depends)
[[ $depends == *libc6* ]] || fail "Depends lacks the computed library dependencies: $depends"
if [ "$with_ui" = ON ]; then
  [[ $depends == *libqt6widgets6* ]] || fail "Depends lacks Qt: $depends"
fi
note "Depends: $depends"

# ---- Unpack into a fresh folder ----
root=$(mktemp -d "${TMPDIR:-/tmp}/hx350-root.XXXXXX")
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
stray=$(cd "$root" && find . -type f ! -path './usr/bin/*' ! -path './usr/share/*' | sed 's|^\./|/|')
[ -z "$stray" ] || fail "files outside /usr/bin and /usr/share: $stray"

for program in "${targets[@]}"; do
  exe="$root/usr/bin/$program"
  [ -x "$exe" ] || fail "/usr/bin/$program is missing"
  [[ $(file -b "$exe") == ELF* ]] || fail "/usr/bin/$program is not an ELF program"
  missing=$(ldd "$exe" | grep 'not found' || true)
  [ -z "$missing" ] || fail "$program: libraries not found: $missing"
  got=$(QT_QPA_PLATFORM=offscreen "$exe" --version)
  [ "$got" = "$program $version" ] || fail "$program --version said '$got', expected '$program $version'"
  [ -f "$root/usr/share/man/man1/$program.1" ] || [ -f "$root/usr/share/man/man1/$program.1.gz" ] ||
    fail "no man page for $program"
  note "$program: libraries found, --version '$got', man page present"
done

# ---- Desktop entry, icon, AppStream metadata (with the window only) ----
if [ "$with_ui" != ON ]; then
  note "built without the window: no hx350, desktop checks skipped"
  note "OK"
  exit 0
fi
desktops=("$root"/usr/share/applications/*.desktop)
[ ${#desktops[@]} -eq 1 ] || fail "expected one desktop entry, found ${#desktops[@]}"
desktop=${desktops[0]}
app_id=$(basename "$desktop" .desktop)
desktop-file-validate "$desktop" || fail "desktop entry $app_id.desktop is not valid"
entry() { sed -n "s/^$1=//p" "$desktop" | head -n1; }
exec_program=$(entry Exec | cut -d' ' -f1)
[ -x "$root/usr/bin/$exec_program" ] || fail "Exec=$exec_program is not an installed program"
icon=$(entry Icon)
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon.svg"
png="$root/usr/share/icons/hicolor/48x48/apps/$icon.png"
[ -f "$png" ] || fail "no 48x48 icon $icon.png"
[[ $(file -b "$png") == "PNG image data, 48 x 48,"* ]] || fail "$icon.png is not a 48x48 PNG"

metainfo="$root/usr/share/metainfo/$app_id.metainfo.xml"
[ -f "$metainfo" ] || fail "no AppStream metadata $app_id.metainfo.xml"
appstreamcli validate --no-net "$metainfo" || fail "AppStream metadata is not valid"
grep -q "<id>$app_id</id>" "$metainfo" || fail "AppStream id is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "AppStream launchable is not $app_id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "AppStream metadata has no release $version"
note "desktop entry, icons and AppStream metadata of $app_id valid and matching"
note "OK"
