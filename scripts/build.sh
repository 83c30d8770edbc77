#!/usr/bin/env bash
# Configures and builds one build folder: build.sh FOLDER [cmake options...]
# With ORVANTA_TARGETS set ("velhost Orvanta"), only those targets and what they need are built.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
folder=$1
shift
# The LibreCAD plug-in builds where LibreCAD and Qt 5 are installed, against the plug-in headers of
# LibreCAD's Debian source package, fetched once for every build folder.
librecad=()
if [ "$(dpkg-query -W -f='${Status}\n' librecad qtbase5-dev 2>/dev/null | grep -c 'install ok installed')" = 2 ]; then
  if headers=$(bash "$here/scripts/install-librecad-headers.sh" "$here/build-librecad-source"); then
    librecad=(-DORVANTA_LIBRECAD_HEADERS="$headers")
  else
    echo "build: LibreCAD's plug-in headers could not be fetched; no LibreCAD plug-in" >&2
  fi
fi
cmake -S "$here" -B "$here/$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${librecad[@]}" "$@" >/dev/null
targets=()
for target in ${ORVANTA_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$here/$folder" "${targets[@]}" -- -j"$(nproc)"
