#!/usr/bin/env bash
# install-test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >"$work/install.log"

# The desktop looks only in the temporary prefix (and the system's own base types).
export XDG_DATA_HOME=$prefix/share
export XDG_DATA_DIRS=$prefix/share:/usr/share
export XDG_CONFIG_HOME=$work/config
export XDG_CONFIG_DIRS=$work/config-dirs
# The GNOME branch of xdg-mime asks gio, which reads the shared MIME database;
# the generic one would ask file(1), which knows nothing of installed types.
export XDG_CURRENT_DESKTOP=GNOME
export HOME=$work/home
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CONFIG_DIRS"

[ -x "$prefix/bin/zaveditor" ] || fail "no program in bin"
[ -f "$prefix/share/zaveditor/Localize.ini" ] || fail "no Localize.ini in the share folder"
[ -f "$prefix/bin/Localize.ini" ] && fail "Localize.ini beside the installed program"
entry=$prefix/share/applications/zaveditor.desktop
desktop-file-validate "$entry" || fail "desktop entry does not validate"
grep -qx "Exec=\"$prefix/bin/zaveditor\" %f" "$entry" || fail "entry does not start the installed program"
for size in 16 22 24 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/zaveditor.png
  file "$icon" | grep -q "PNG image data, $size x $size" || fail "icon $size missing or of the wrong size"
done
[ -f "$prefix/share/mime/mime.cache" ] || fail "MIME database not rebuilt"

# One sample of each kind; the packaged frame file also without its ending,
# so that its signature alone names it.
samples=$work/samples
mkdir -p "$samples"
printf '[HEADER]\r\n' >"$samples/layout.zvd"
printf '[HEADER]\r\n' >"$samples/layout.usd"
printf '[HEADER]\r\n' >"$samples/cameras.usm"
printf 'VLZAV\0\1\0\14\0\0\0' >"$samples/frame.fdp"
cp "$samples/frame.fdp" "$samples/frame-without-ending"
check_type() {
  local file=$1 want=$2 got
  got=$(xdg-mime query filetype "$samples/$file" 2>/dev/null || true)
  [ "$got" = "$want" ] || fail "$file: type '$got', expected '$want'"
  got=$(xdg-mime query default "$want" 2>/dev/null || true)
  [ "$got" = "zaveditor.desktop" ] || fail "$want: default '$got', expected zaveditor.desktop"
}
check_type layout.zvd application/x-zaveditor-document
check_type layout.usd application/x-zaveditor-layout
check_type cameras.usm application/x-zaveditor-camera-set
check_type frame.fdp application/x-zaveditor-package
check_type frame-without-ending application/x-zaveditor-package

"$source/scripts/uninstall" "$build" "$prefix" >"$work/uninstall.log"
left=$(find "$prefix" -mindepth 1 2>/dev/null || true)
[ -z "$left" ] || fail "uninstall left: $left"

if [ "$failures" -ne 0 ]; then
  cat "$work/install.log" >&2
  exit 1
fi
echo "install test passed"
