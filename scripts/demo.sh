#!/usr/bin/env bash
# Installs what is missing, builds, and runs the insert command in the stand-in
# host on the bundled example drawing. Output goes to out/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/build.sh" build
mkdir -p "$here/out"
"$here/build/bin/velhost" run \
  --drawing "$here/examples/plate.json" \
  --script "$here/examples/plate.vel" \
  --registry "$here/out/registry.reg" \
  --trace "$here/out/plate.trace.jsonl" \
  --out "$here/out/plate.json" --out "$here/out/plate.dxf" --out "$here/out/plate.svg"
echo "wrote out/plate.json, out/plate.dxf, out/plate.svg, out/plate.trace.jsonl"
