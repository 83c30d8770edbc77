#!/usr/bin/env bash
# Installs what is missing and cross-builds the Windows files with mingw-w64: the plug-in
# Orvanta.dll, the stand-in host's VelLib.dll and velhost.exe, with the C++ runtime DLLs beside
# them, in build-windows/bin/ (or $BUILD_DIR/bin), and the tests that run under Wine.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build-windows}
bash "$here/scripts/install-deps.sh"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -- -j"$(nproc)"
echo "build-windows: $build/bin/Orvanta.dll, VelLib.dll and velhost.exe"
