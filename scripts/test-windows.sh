#!/usr/bin/env bash
# Cross-builds the settings for Windows with mingw-w64 and runs their tests under Wine, in a
# fresh Wine prefix that is removed afterwards. Exits non-zero when the build or a test fails.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build-windows}"
limit="${WINE_TIMEOUT:-600}"

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" --target settings_windows_tests

exe="$(find "$build" -name settings_windows_tests.exe -type f | head -n 1)"
if [ -z "$exe" ]; then
  echo "test-windows: settings_windows_tests.exe was not built" >&2
  exit 1
fi

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
unset DISPLAY

echo "test-windows: $wine, prefix $prefix"
timeout "$limit" "$wine" wineboot -i >/dev/null 2>&1 || true
if [ -n "$wineserver" ]; then timeout "$limit" "$wineserver" -w || true; fi

status=0
timeout "$limit" "$wine" "$exe" --gtest_color=no || status=$?
if [ "$status" -eq 124 ]; then
  echo "test-windows: tests timed out after ${limit}s" >&2
elif [ "$status" -ne 0 ]; then
  echo "test-windows: tests failed (exit $status)" >&2
fi
exit "$status"
