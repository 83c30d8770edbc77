#!/usr/bin/env bash
# Fetches Debian's source package of dxflib, of the version the Linux build links, into
# FOLDER/dxflib-VERSION and prints that folder: the Windows build compiles it with mingw-w64, as
# Debian ships no such build. Nothing of dxflib enters the repository.
#   install-dxflib-source.sh FOLDER
set -euo pipefail
exec bash "$(dirname "$0")/debian-source.sh" dxflib libdxflib-dev src/dl_dxf.cpp "$1"
