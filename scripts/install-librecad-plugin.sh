#!/usr/bin/env bash
# Installs the LibreCAD plug-in of a build where LibreCAD finds it: for the current user in
# ~/.librecad/plugins, or with --system for everyone in /usr/lib/librecad beside Debian's own
# plug-ins. LibreCAD shows it under Plugins as "Orvanta insert" the next time it starts.
#   install-librecad-plugin.sh [--system] [BUILD_FOLDER]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dest=$HOME/.librecad/plugins
if [ "${1:-}" = "--system" ]; then
  dest=/usr/lib/librecad
  shift
fi
build=${1:-$here/build}
if [ ! -f "$build/bin/librecad/liborvanta.so" ]; then
  echo "install-librecad-plugin: $build holds no LibreCAD plug-in; build it first" \
    "(scripts/build.sh build, with librecad and qtbase5-dev installed)" >&2
  exit 1
fi
cmake --install "$build" --component librecad --prefix "$dest" >/dev/null
echo "installed: $dest/liborvanta.so and $dest/orvanta/"
