#!/bin/sh
# Installs the build into a staging folder (DESTDIR, prefix /usr) and checks that the staged
# programs run from there: they answer --version without a display, every installed file is in
# its standard place, and the staged app finds its demonstrations in the staged share folder.
# Usage: check-staged-install.sh CMAKE BUILD_DIR VERSION
set -eu
cmake=$1 build=$2 version=$3
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# The window needs an X server: Xvfb when none is given.
on_display() {
    if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a -s "-screen 0 1280x800x24" "$@"; fi
}

DESTDIR=$stage "$cmake" --install "$build" --prefix /usr >/dev/null
usr=$stage/usr

for program in mechsynth mechsynth-cli; do
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/$program" --version) ||
        fail "$program --version exited with $?"
    [ "$out" = "$program (Mechanism Synthesis) $version" ] || fail "$program --version said: $out"
    env -u DISPLAY "$usr/bin/$program" --help | grep -q "^Usage:" || fail "$program --help"
    [ -s "$usr/share/man/man1/$program.1" ] || fail "no manual page $program(1)"
    grep -q "^\.TH $(echo "$program" | tr a-z A-Z) \"1\"" "$usr/share/man/man1/$program.1" ||
        fail "$program.1 is not a section 1 manual page"
done

for demo in RRRR RRRP RRPR PRRP PRPR "Design Challenge"; do
    cmp -s "$usr/share/mechsynth/demo/$demo.txt" "$(dirname "$0")/../../demo/$demo.txt" ||
        fail "demo $demo.txt not installed"
done

desktop=$usr/share/applications/org.mechsynth.mechsynth.desktop
grep -qx "Exec=mechsynth" "$desktop" && grep -qx "Icon=mechsynth" "$desktop" ||
    fail "desktop entry missing or not starting mechsynth with its icon"
grep -q "<launchable type=\"desktop-id\">org.mechsynth.mechsynth.desktop<" \
    "$usr/share/metainfo/org.mechsynth.mechsynth.metainfo.xml" || fail "metainfo"
grep -q "<svg" "$usr/share/icons/hicolor/scalable/apps/mechsynth.svg" || fail "scalable icon"
for size in 16 32 48 64 128 256; do
    png=$usr/share/icons/hicolor/${size}x$size/apps/mechsynth.png
    # A PNG's header holds its width and height as 32-bit big-endian numbers at bytes 16..23.
    [ "$(od -An -tx1 -j16 -N8 "$png" 2>/dev/null | tr -d ' \n')" = \
      "$(printf '%08x%08x' "$size" "$size")" ] || fail "icon $png is not ${size}x$size"
done

# The staged app, started in an empty folder with no system data folders to fall back on, must
# load a demonstration from the staged share folder: the synthesis it runs leaves its files here.
# MS_STAGED_APP_ENVIRONMENT (NAME=VALUE, no spaces) is given to the app alone: what the sanitized
# build preloads.
work=$stage/work
mkdir -p "$work"
out=$(cd "$work" && XDG_DATA_DIRS=$stage/none XDG_DATA_HOME=$stage/none MECHSYNTH_DEMO=RRRR \
      MECHSYNTH_SCREENSHOT="$work/window.png" on_display env ${MS_STAGED_APP_ENVIRONMENT:-} \
      "$usr/bin/mechsynth" </dev/null 2>&1) ||
    fail "staged mechsynth exited with $?: $out"
case $out in *"Cannot open"*) fail "staged mechsynth did not find its demo: $out" ;; esac
[ -s "$work/dyad parameters.txt" ] || fail "the staged demo was not synthesized: $out"
echo "staged install in $usr checked"
