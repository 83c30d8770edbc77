#!/usr/bin/env bash
# Tests the Debian package as a user meets it: installs it with apt-get, then, from an empty
# folder outside the checkout, asks velhost its version, runs a session on the installed
# example and compares the drawing with the build's, opens and closes the window on a display,
# has LibreCAD list the plug-in, and at the end removes the package and checks that none of its
# files is left. Needs root (or sudo): it installs and removes a package.
#   test-package.sh [PACKAGE.deb]   (default: made by scripts/package-deb.sh)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
deb=${1:-$(bash "$here/scripts/package-deb.sh" | tail -1)}
# The build's velhost, whose drawing the installed one's is compared with.
[ -x "$here/build/bin/velhost" ] || ORVANTA_TARGETS="velhost Orvanta" bash "$here/scripts/build.sh" build
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
fail() { echo "test-package: $*" >&2; exit 1; }
trap 'echo "test-package: line $LINENO failed: $BASH_COMMAND" >&2' ERR

mapfile -t files < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|' | grep -v '/$')
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q "$(realpath "$deb")" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
version=$(sed -n 's/^project(Orvanta VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")

# On the PATH, with the plug-in found in its own folder.
[ "$(command -v velhost)" = /usr/bin/velhost ] || fail "velhost is not /usr/bin/velhost"
expected="velhost $version
plug-in /usr/lib/x86_64-linux-gnu/orvanta/libOrvanta.so: Orvanta $version"
[ "$(velhost --version)" = "$expected" ] || fail "velhost --version: $(velhost --version)"
echo "test-package: velhost --version names $version for velhost and its plug-in"

# The example session on the installed example, as the manual page tells it.
examples=/usr/share/doc/orvanta/examples
cp "$examples/sessions/bracket-insert.reg" installed.reg
cp "$examples/sessions/bracket-insert.reg" built.reg
velhost run --drawing "$examples/bracket.dxf" --script "$examples/sessions/bracket-insert.vel" \
  --registry installed.reg --out installed.json
"$here/build/bin/velhost" run --drawing "$here/examples/bracket.dxf" \
  --script "$here/examples/sessions/bracket-insert.vel" --registry built.reg --out built.json
cmp installed.json built.json || fail "the installed velhost made another drawing than the build's"
echo "test-package: the installed example session gives the build's drawing"

# The window opens on a display and closes with Ctrl+Q, writing its --out file.
Xvfb :77 -screen 0 1400x900x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=:77
# As a user's desktop has it: the test run's offscreen platform would show no window to find.
unset QT_QPA_PLATFORM
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
timeout 120 velhost gui "$examples/bracket.dxf" --out window.json &
gui=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name 'bracket.dxf' | head -1) || true
[ -n "$window" ] || fail "velhost gui showed no window"
# No window manager gives it the keyboard: a click on the canvas does (idle, it picks nothing).
# A window that has only just been mapped may miss them, so they go again until it has closed.
for _ in $(seq 20); do
  kill -0 $gui 2>/dev/null || break
  xdotool mousemove --window "$window" 300 300 click 1 sleep 0.3 key ctrl+q || true
  sleep 1
done
status=0
wait $gui || status=$?
[ $status -eq 0 ] || fail "velhost gui ended with status $status"
[ -s window.json ] || fail "the window wrote no drawing when it closed"
echo "test-package: velhost gui opened on a display and closed"

# LibreCAD lists the installed plug-in under Plugins (it asks the plug-in for its menu entry).
# A home of its own, past LibreCAD's first-start questions.
mkdir -p home/.config/LibreCAD
printf '[Appearance]\nLanguage=en\nLanguageCmd=en\n[Defaults]\nUnit=Millimeter\n[Startup]\nFirstLoad=0\n' \
  >home/.config/LibreCAD/LibreCAD.conf
HOME=$work/home XDG_CONFIG_HOME=$work/home/.config ORVANTA_LIBRECAD_TRACE=$work/librecad.trace \
  librecad >/dev/null 2>&1 &
librecad=$!
for _ in $(seq 100); do grep -q '^listed ' librecad.trace 2>/dev/null && break; sleep 0.2; done
kill $librecad 2>/dev/null || true
wait $librecad 2>/dev/null || true
grep -qx 'listed /usr/lib/librecad/orvanta/libOrvanta.so' librecad.trace ||
  fail "LibreCAD did not list the installed plug-in: $(cat librecad.trace 2>/dev/null)"
echo "test-package: LibreCAD lists Orvanta under Plugins"

# Removing the package leaves none of its files.
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove --purge -y -q orvanta >/dev/null
left=()
for f in "${files[@]}"; do [ -e "$f" ] && left+=("$f"); done
[ ${#left[@]} -eq 0 ] || fail "left after removal: ${left[*]}"
for d in /usr/lib/x86_64-linux-gnu/orvanta /usr/lib/librecad/orvanta /usr/share/doc/orvanta; do
  [ ! -e "$d" ] || fail "left after removal: $d"
done
echo "test-package: removing the package left none of its ${#files[@]} files"
