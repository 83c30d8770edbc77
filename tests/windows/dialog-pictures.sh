#!/usr/bin/env bash
# Pictures of the plug-in's dialogs as a build of velhost shows them, taken by its dialog robot's
# `shot`: "Create Insert" with the colour and line-type pickers (`velhost settings`), and the two
# edit popups (an annotated session on the bracket part, as examples/sessions/edit-annotated.vel).
#   dialog-pictures.sh VELHOST OUT
# VELHOST may be a command of several words ("wine64 velhost.exe"). Fails when a session fails or
# a picture is missing or no PNG.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
read -r -a velhost <<<"$1"
mkdir -p "$2"
out=$(cd "$2" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/orvanta-pictures.XXXXXX")
trap 'rm -rf "$work"' EXIT
rm -f "$out"/*.png
status=0

printf 'dialog %s\n' "shot $out/create-insert.png, click 12019, shot $out/color-picker.png, cancel, \
click 12020, shot $out/line-type-picker.png, cancel, cancel" >"$work/settings.vel"
(cd "$work" && "${velhost[@]}" settings --registry settings.reg --script settings.vel) >/dev/null ||
  status=1

cp "$root/examples/bracket.dxf" "$root/examples/sessions/edit-annotated.reg" "$work/"
cat >"$work/popups.vel" <<SESSION
run
pick 80 0
dialog shot $out/corner-popup.png, type 12025 8, click 12001
pick -7.5 106.5
dialog shot $out/length-popup.png, type 12025 12, key enter
pick 79.5 102.5
confirm
SESSION
(cd "$work" && "${velhost[@]}" run --drawing bracket.dxf --registry edit-annotated.reg \
  --script popups.vel) >/dev/null || status=1

for picture in create-insert color-picker line-type-picker corner-popup length-popup; do
  if [ "$(head -c 8 "$out/$picture.png" 2>/dev/null | od -An -tx1 | tr -d ' \n')" != 89504e470d0a1a0a ]; then
    echo "dialog-pictures: no picture $out/$picture.png" >&2
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "dialog-pictures: the dialogs' pictures are in $out"
exit "$status"
