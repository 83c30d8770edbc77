#!/usr/bin/env bash
# Installs what is missing, builds, and runs the insert command in the stand-in
# host on the example part: an insert with its hole around the bracket plate,
# written as DXF, SVG and JSON with the trace of host calls. Output goes to out/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
# Only what the session runs: velhost and the plug-in (the tests and benchmarks come with the
# test command).
ORVANTA_TARGETS="velhost Orvanta" bash "$here/scripts/build.sh" build
VELHOST="$here/build/bin/velhost" bash "$here/examples/run-session.sh" bracket-insert --out "$here/out"
echo "the insert and its hole around examples/bracket.dxf: out/bracket-insert.dxf and out/bracket-insert.svg"
echo "(also out/bracket-insert.json, the trace out/bracket-insert.trace.jsonl and the settings used, out/bracket-insert.reg)"
