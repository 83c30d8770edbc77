#!/usr/bin/env bash
# The Windows build under Wine. Cross-builds the Windows files (scripts/build-windows.sh), checks
# what the plug-in exports and imports, runs the tests that need the Windows registry and the
# dialog manager, runs every session (the example sessions and those of the end-to-end tests,
# their dialogs answered by each build's dialog robot) in velhost.exe and in the Linux velhost,
# comparing what they write byte for byte, and takes pictures of the plug-in's dialogs under Wine
# beside the Qt ones (build/test-output/ui-wine/ and ui/). Wine runs headless in a fresh prefix
# that is removed afterwards. Exits non-zero when anything fails.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build-windows}"
linux_build="${LINUX_BUILD_DIR:-$root/build}"
limit="${WINE_TIMEOUT:-600}"

BUILD_DIR="$build" bash "$root/scripts/build-windows.sh"

# The Linux velhost and plug-in to compare with, the end-to-end tests whose sessions are run
# again, and the tests of velhost's dialog robot, which hold velhost.exe's to the same behaviour
# (already built when scripts/test.sh calls this).
if [ ! -f "$linux_build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$linux_build" --target velhost Orvanta e2e_tests ui_tests -- -j"$(nproc)"

wine=""
for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
  if [ -n "$candidate" ] && [ -x "$candidate" ]; then
    wine="$candidate"
    break
  fi
done
if [ -z "$wine" ]; then
  echo "test-windows: no wine64 or wine found" >&2
  exit 1
fi
wineserver="$(dirname "$wine")/wineserver"
[ -x "$wineserver" ] || wineserver="$(command -v wineserver || true)"

prefix="$(mktemp -d "${TMPDIR:-/tmp}/orvanta-wine.XXXXXX")"
# A folder named beyond ASCII: every session's file names cross the Win32 boundary.
work="$(mktemp -d "${TMPDIR:-/tmp}/orvanta-windows.XXXXXX")/세션 é"
mkdir -p "$work"
status=0
cleanup() {
  if [ -n "$wineserver" ]; then
    WINEPREFIX="$prefix" timeout 30 "$wineserver" -k >/dev/null 2>&1 || true
  fi
  rm -rf "$prefix"
  if [ "$status" -eq 0 ]; then
    rm -rf "$(dirname "$work")"
  else
    echo "test-windows: the sessions and the runs that differ are kept in $work" >&2
  fi
}
trap cleanup EXIT

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installers in a fresh prefix
unset DISPLAY WAYLAND_DISPLAY

echo "test-windows: $wine, prefix $prefix"
timeout "$limit" "$wine" wineboot -i >/dev/null 2>&1 || true
# The dialogs' font, "MS Shell Dlg" at 8 points, is Tahoma in Wine (its own, from fonts-wine),
# which has no Hangul and no font linked to it here: the dialogs' Korean texts show in the Hangul
# face that the dialogs themselves fall back to, NanumGothic (fonts-nanum).
if [ ! -f /usr/share/wine/fonts/tahoma.ttf ]; then
  echo "test-windows: Wine's Tahoma (fonts-wine) is missing" >&2
  exit 1
fi
ln -sf /usr/share/fonts/truetype/nanum/NanumGothic.ttf "$prefix/drive_c/windows/Fonts/NanumGothic.ttf"
# Headless: the null graphics driver, which the server reads when it starts again.
timeout "$limit" "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
if [ -n "$wineserver" ]; then
  timeout 60 "$wineserver" -k || true
  timeout 60 "$wineserver" -w || true
  # One server for all the runs that follow, so that each starts in a fraction of a second.
  "$wineserver" -p
fi

step() {
  local name=$1
  shift
  echo "--- $name"
  local result=0
  timeout "$limit" "$@" || result=$?
  if [ "$result" -eq 124 ]; then
    echo "test-windows: $name timed out after ${limit}s" >&2
  fi
  if [ "$result" -ne 0 ]; then
    echo "test-windows: $name failed (exit $result)" >&2
    status=1
  fi
}

step "exports and imports" bash "$root/tests/windows/check-windows-files.sh" "$build/bin"
step "the registry store against the registry" "$wine" "$build/bin/platform_windows_tests.exe" --gtest_color=no --gtest_brief=1
step "a session's registry files" "$wine" "$build/bin/runtime_windows_tests.exe" --gtest_color=no --gtest_brief=1
step "dialogs of the dialog manager" "$wine" "$build/bin/ui_windows_tests.exe" --gtest_color=no --gtest_brief=1
step "the dialog robot" "$wine" "$build/bin/robot_windows_tests.exe" --gtest_color=no --gtest_brief=1
step "velhost.exe answering the plug-in's dialogs" env QT_QPA_PLATFORM=offscreen \
  ORVANTA_VELHOST="$wine $build/bin/velhost.exe" "$linux_build/bin/robot_tests" \
  --gtest_filter='VelhostRobot.*' --gtest_color=no --gtest_brief=1

# The sessions: each example with its settings on the bracket part, as examples/run-session.sh
# runs it, and the end-to-end tests' own, recorded while those tests run the Linux velhost.
sessions="$work/sessions"
mkdir -p "$sessions"
for script in "$root"/examples/sessions/*.vel; do
  name=$(basename "$script" .vel)
  mkdir -p "$sessions/example-$name"
  cp "$script" "$sessions/example-$name/session.vel"
  cp "$root/examples/sessions/$name.reg" "$sessions/example-$name/registry.reg"
  cp "$root/examples/bracket.dxf" "$sessions/example-$name/bracket.dxf"
  printf '%s\n' --drawing bracket.dxf --script session.vel --registry registry.reg \
    --trace "$name.trace.jsonl" --out "$name.json" --out "$name.dxf" --out "$name.svg" \
    >"$sessions/example-$name/args"
done
# DXF drawings in older code pages, whose names iconv decodes on Linux and the system's code
# pages on Windows: one line on a layer named in the code page.
dxf_session() {
  local dir="$sessions/dxf-$1"
  mkdir -p "$dir"
  printf '0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\n%s\n9\n$DWGCODEPAGE\n3\n%s\n0\nENDSEC\n' "$2" "$3" \
    >"$dir/part.dxf"
  printf '0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n%s\n10\n0\n20\n0\n11\n1\n21\n1\n0\nENDSEC\n0\nEOF\n' "$4" \
    >>"$dir/part.dxf"
  : >"$dir/session.vel"
  printf '%s\n' --drawing part.dxf --script session.vel --out end.json --out end.dxf >"$dir/args"
}
dxf_session korean AC1015 ANSI_949 $'\xBF\xDC\xB0\xFB\xBC\xB1'
dxf_session japanese AC1015 ANSI_932 $'\x83\x65\x83\x58\x83\x67'
dxf_session latin AC1009 ANSI_1252 $'Caf\xE9'
dxf_session greek AC1015 ANSI_1253 $'\xE1\xE2\xE3'
dxf_session broken AC1015 ANSI_949 $'a\xFF'
step "end-to-end sessions recorded" env QT_QPA_PLATFORM=offscreen ORVANTA_RECORD_SESSIONS="$sessions" \
  "$linux_build/bin/e2e_tests" --gtest_brief=1
recorded=$(find "$sessions" -mindepth 1 -maxdepth 1 -type d ! -name 'example-*' ! -name 'dxf-*' | wc -l)
echo "test-windows: $recorded end-to-end sessions recorded"
if [ "$recorded" -eq 0 ]; then
  echo "test-windows: the end-to-end tests recorded no session" >&2
  status=1
fi
step "sessions: velhost.exe under Wine against the Linux velhost" \
  bash "$root/tests/windows/compare-sessions.sh" "$linux_build/bin/velhost" \
  "$wine $build/bin/velhost.exe" "$sessions" "$work/runs"

# The zip as a user unpacks it, into a folder named with a space and Hangul: its velhost.exe finds
# its plug-in and runtime there and plays sessions as the Linux velhost does.
zip=$(BUILD_DIR="$build" bash "$root/scripts/package-windows.sh" | tail -1)
unpacked="$(dirname "$work")/내 프로그램"
mkdir -p "$unpacked"
(cd "$unpacked" && python3 -m zipfile -e "$zip" .)
zipped="$unpacked/$(basename "$zip" .zip)"
# compare-sessions.sh splits a command at spaces: the unpacked velhost.exe goes behind a script.
printf '#!/bin/sh\nexec "%s" "%s" "$@"\n' "$wine" "$zipped/velhost.exe" >"$(dirname "$work")/zipped-velhost"
zip_sessions="$work/zip-sessions"
mkdir -p "$zip_sessions"
cp -r "$sessions/example-bracket-insert" "$sessions/example-corners-annotated" "$zip_sessions/"
step "the unpacked zip's velhost.exe --version" bash -c '
  printed=$(sh "$1" --version | tr -d "\r")
  echo "$printed"
  case $printed in *"내 프로그램\\orvanta-"*"\\Orvanta.dll: Orvanta "*) ;; *) exit 1 ;; esac' \
  _ "$(dirname "$work")/zipped-velhost"
step "the Windows zip unpacked in a folder named with a space and Hangul" \
  bash "$root/tests/windows/compare-sessions.sh" "$linux_build/bin/velhost" \
  "sh $(dirname "$work")/zipped-velhost" "$zip_sessions" "$work/zip-runs"
step "pictures of the dialogs under Wine" \
  bash "$root/tests/windows/dialog-pictures.sh" "$wine $build/bin/velhost.exe" "$linux_build/test-output/ui-wine"

if [ "$status" -ne 0 ]; then
  echo "test-windows: FAILED" >&2
fi
exit "$status"
