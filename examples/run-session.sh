#!/usr/bin/env bash
# Runs example sessions of the insert command on the bracket part in velhost.
#   run-session.sh NAME... [--out DIR]   (NAME "all" runs every session)
# Each session NAME starts from the settings in sessions/NAME.reg (copied, so
# the example stays as it is) and writes DIR/NAME.json, NAME.dxf, NAME.svg, the
# trace of host calls NAME.trace.jsonl and the registry file it ended with,
# NAME.reg; pictures saved midway land in DIR too. DIR defaults to out/ at the
# top of the repository; velhost is $VELHOST or build/bin/velhost.
set -euo pipefail
examples=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$examples/.." && pwd)
outdir=$top/out
names=()
while [ $# -gt 0 ]; do
  case $1 in
    --out) outdir=$2; shift 2 ;;
    all) for f in "$examples"/sessions/*.vel; do names+=("$(basename "$f" .vel)"); done; shift ;;
    *) names+=("$1"); shift ;;
  esac
done
if [ ${#names[@]} -eq 0 ]; then
  echo "usage: $0 NAME... [--out DIR]   (NAME: all, or one of:" \
    $(cd "$examples/sessions" && ls *.vel | sed 's/\.vel$//') ")" >&2
  exit 2
fi
velhost=${VELHOST:-$top/build/bin/velhost}
mkdir -p "$outdir"
outdir=$(cd "$outdir" && pwd)
for name in "${names[@]}"; do
  script=$examples/sessions/$name.vel
  [ -f "$script" ] || { echo "$0: no session $name" >&2; exit 2; }
  cp "$examples/sessions/$name.reg" "$outdir/$name.reg"
  (cd "$outdir" && "$velhost" run --drawing "$examples/bracket.dxf" --script "$script" \
    --registry "$outdir/$name.reg" --trace "$outdir/$name.trace.jsonl" \
    --out "$outdir/$name.json" --out "$outdir/$name.dxf" --out "$outdir/$name.svg")
  # The registry store's lock beside the file is of no use once the session is over.
  rm -f "$outdir/$name.reg.lock"
  echo "$name: wrote $outdir/$name.dxf, $name.svg, $name.json, $name.trace.jsonl"
done
