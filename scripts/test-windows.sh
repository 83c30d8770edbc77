#!/usr/bin/env bash
# The Windows build under Wine. Cross-builds the Windows files (scripts/build-windows.sh), checks
# what the plug-in exports and imports, and runs the tests that need the Windows registry. Wine
# runs headless in a fresh prefix that is removed afterwards. Exits non-zero when anything fails.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build-windows}"
limit="${WINE_TIMEOUT:-600}"

BUILD_DIR="$build" bash "$root/scripts/build-windows.sh"

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
status=0
cleanup() {
  if [ -n "$wineserver" ]; then
    WINEPREFIX="$prefix" timeout 30 "$wineserver" -k >/dev/null 2>&1 || true
  fi
  rm -rf "$prefix"
}
trap cleanup EXIT

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installers in a fresh prefix
unset DISPLAY WAYLAND_DISPLAY

echo "test-windows: $wine, prefix $prefix"
timeout "$limit" "$wine" wineboot -i >/dev/null 2>&1 || true
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
step "settings against the registry" "$wine" "$build/bin/settings_windows_tests.exe" --gtest_color=no --gtest_brief=1
step "velhost's registry files" "$wine" "$build/bin/velhost_windows_tests.exe" --gtest_color=no --gtest_brief=1

if [ "$status" -ne 0 ]; then
  echo "test-windows: FAILED" >&2
fi
exit "$status"
