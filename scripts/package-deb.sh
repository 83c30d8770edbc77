#!/usr/bin/env bash
# Makes the Debian package: a Release build for /usr of velhost, the plug-in and the LibreCAD
# plug-in (build-package/), packed by CPack's DEB generator into
# build-package/packages/orvanta_VERSION_amd64.deb, then checked by lintian. Prints the
# package's path last.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
# Built with Debian's hardening flags, as Debian builds its packages.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags=$(dpkg-buildflags --get CXXFLAGS) cppflags=$(dpkg-buildflags --get CPPFLAGS)
ldflags=$(dpkg-buildflags --get LDFLAGS)
ORVANTA_TARGETS="velhost Orvanta orvanta_librecad orvanta_package_files" \
  bash "$here/scripts/build.sh" build-package -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX=/usr -DORVANTA_BENCH=OFF -DCMAKE_CXX_FLAGS="$cppflags $cxxflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" \
  -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" >&2
rm -rf "$here/build-package/packages"
(cd "$here/build-package" && cpack -G DEB >&2)
deb=$(ls "$here"/build-package/packages/orvanta_*_amd64.deb)
# Errors fail the package; the warnings left are known (README, "Packages").
lintian --fail-on error --suppress-tags-from-file "$here/packaging/lintian-known" "$deb" >&2
echo "$deb"
