#!/usr/bin/env bash
# Times a whole run of velhost on a large generated drawing (read it, select everything, one
# insert, write it as DXF) against dxflib's bare parse of the same file and, where LibreCAD is
# installed, LibreCAD's own load (dxf2pdf), in one alternating run; prints the medians, the ratios
# pair by pair and the run's peak bytes per drawing element. Figures only: it fails on none.
#   bash scripts/bench-whole-run.sh [BUILD_DIR] [RUNS]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build}" && pwd)"
runs="${2:-5}"
cmake --build "$build" --target velhost Orvanta dxflib_bare >/dev/null
work="$build/bench-whole-run"
mkdir -p "$work"
exec python3 "$here/bench_whole_run.py" "$build" "$work" "$runs"
