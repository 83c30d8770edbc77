#!/usr/bin/env bash
# Fetches Debian's source package of dxflib, of the version the Linux build links, unpacks it
# with Debian's patches into FOLDER/dxflib-VERSION and prints that folder: the Windows build
# compiles it with mingw-w64, as Debian ships no such build. When apt knows no source packages,
# a deb-src entry for Debian's archive is added first. Nothing of dxflib enters the repository.
#   install-dxflib-source.sh FOLDER
set -euo pipefail
dest=$1
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)

for found in "$dest"/dxflib-*/; do
  if [ -f "$found/src/dl_dxf.cpp" ]; then
    echo "${found%/}"
    exit 0
  fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive

version=$(dpkg-query -W -f='${source:Version}' libdxflib-dev 2>/dev/null || true)
package=dxflib${version:+=$version}

if ! apt-get source --print-uris -q "$package" >/dev/null 2>&1; then
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  echo "install-dxflib-source: adding Debian's source packages ($codename) to apt" >&2
  printf '%s\n' "Types: deb-src" "URIs: http://deb.debian.org/debian" "Suites: $codename" \
    "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
    "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/orvanta-deb-src.sources >/dev/null
  "${sudo_cmd[@]}" apt-get update -q >&2
fi

# apt downloads as its own user, which must be able to write where it downloads.
work=$(mktemp -d "${TMPDIR:-/tmp}/dxflib-source.XXXXXX")
trap 'rm -rf "$work"' EXIT
chmod 777 "$work"
(cd "$work" && apt-get source -q "$package" >&2)
unpacked=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'dxflib-*' | head -n 1)
if [ -z "$unpacked" ] || [ ! -f "$unpacked/src/dl_dxf.cpp" ]; then
  echo "install-dxflib-source: apt-get source dxflib gave no source folder" >&2
  exit 1
fi
mv "$unpacked" "$dest/"
echo "$dest/$(basename "$unpacked")"
