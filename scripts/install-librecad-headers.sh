#!/usr/bin/env bash
# Fetches Debian's source package of LibreCAD, of the version installed, into
# FOLDER/librecad-VERSION and prints the folder of its plug-in interface headers
# (qc_plugininterface.h, document_interface.h), which the LibreCAD plug-in builds against.
# Nothing of LibreCAD enters the repository.
#   install-librecad-headers.sh FOLDER
set -euo pipefail
plugins=librecad/src/plugins
source=$(bash "$(dirname "$0")/debian-source.sh" librecad librecad "$plugins/document_interface.h" "$1")
echo "$source/$plugins"
