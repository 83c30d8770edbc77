#!/usr/bin/env bash
# Fetches the Debian source package PACKAGE, of the version installed from BINARY when there is
# one, unpacks it with Debian's patches into FOLDER/PACKAGE-VERSION and prints that folder. A
# folder already there that holds MARKER is taken as it is. When apt knows no source packages, a
# deb-src entry for Debian's archive is added first. Nothing fetched enters the repository.
#   debian-source.sh PACKAGE BINARY MARKER FOLDER
set -euo pipefail
package=$1 binary=$2 marker=$3 dest=$4
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)

for found in "$dest/$package"-*/; do
  if [ -f "$found/$marker" ]; then
    echo "${found%/}"
    exit 0
  fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive

version=$(dpkg-query -W -f='${source:Version}' "$binary" 2>/dev/null || true)
wanted=$package${version:+=$version}

if ! apt-get source --print-uris -q "$wanted" >/dev/null 2>&1; then
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  echo "debian-source: adding Debian's source packages ($codename) to apt" >&2
  printf '%s\n' "Types: deb-src" "URIs: http://deb.debian.org/debian" "Suites: $codename" \
    "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
    "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/orvanta-deb-src.sources >/dev/null
  "${sudo_cmd[@]}" apt-get update -q >&2
fi

# apt downloads as its own user, which must be able to write where it downloads.
work=$(mktemp -d "${TMPDIR:-/tmp}/$package-source.XXXXXX")
trap 'rm -rf "$work"' EXIT
chmod 777 "$work"
(cd "$work" && apt-get source -q "$wanted" >&2)
unpacked=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | head -n 1)
if [ -z "$unpacked" ] || [ ! -f "$unpacked/$marker" ]; then
  echo "debian-source: apt-get source $package gave no folder with $marker" >&2
  exit 1
fi
rm -rf "${dest:?}/$(basename "$unpacked")"
mv "$unpacked" "$dest/"
echo "$dest/$(basename "$unpacked")"
