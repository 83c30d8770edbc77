#!/usr/bin/env bash
# The plug-in library exports Startup and nothing else, and links no GPL code
# (dxflib stays in velhost).
set -euo pipefail
lib=$1
exports=$(nm -D --defined-only "$lib" | awk '{print $3}' | grep -v -E '^(_init|_fini|_edata|_end|__bss_start)$' || true)
if [ "$exports" != "Startup" ]; then
  echo "expected only Startup to be exported, found:"
  echo "$exports"
  exit 1
fi
if readelf -d "$lib" | grep NEEDED | grep -i dxf; then
  echo "the plug-in must not link dxflib"
  exit 1
fi
echo "exports: $exports"
