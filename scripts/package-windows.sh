#!/usr/bin/env bash
# Makes the Windows zip, build-windows/packages/orvanta-VERSION-windows-x64.zip: velhost.exe,
# Orvanta.dll and VelLib.dll from the cross build (scripts/build-windows.sh), the runtime DLLs
# they import and nothing else, the examples, the licence, the changelog and a README.txt for
# Windows users, in a folder of the zip's name. Prints the zip's path last.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build-windows}
BUILD_DIR="$build" bash "$here/scripts/build-windows.sh" >&2
version=$(sed -n 's/^project(Orvanta VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")
name=orvanta-$version-windows-x64
stage=$build/packages/$name
rm -rf "$build/packages"
mkdir -p "$stage"
cp "$build/bin/velhost.exe" "$build/bin/Orvanta.dll" "$build/bin/VelLib.dll" "$stage/"

# The DLLs the files import that the build made or copied (the C++ runtime), followed through
# what those import in turn; the rest are Windows' own.
objdump=$(command -v x86_64-w64-mingw32-objdump)
queue=(velhost.exe Orvanta.dll VelLib.dll)
while [ ${#queue[@]} -gt 0 ]; do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  while IFS= read -r dll; do
    if [ -f "$build/bin/$dll" ] && [ ! -f "$stage/$dll" ]; then
      cp "$build/bin/$dll" "$stage/"
      queue+=("$dll")
    fi
  done < <("$objdump" -p "$stage/$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
done
x86_64-w64-mingw32-strip "$stage"/*.exe "$stage"/*.dll

mkdir "$stage/examples"
cp -r "$here/examples/sessions" "$here"/examples/*.dxf "$here"/examples/*.json \
  "$here"/examples/*.vel "$here/examples/README.md" "$stage/examples/"
cp "$here/CHANGELOG.md" "$stage/"
# Windows' own line ends for the texts Notepad opens.
sed 's/$/\r/' "$here/LICENSE" >"$stage/LICENSE.txt"
sed "s/@VERSION@/$version/; s/\$/\r/" "$here/packaging/windows/README.txt" >"$stage/README.txt"

(cd "$build/packages" && python3 -m zipfile -c "$name.zip" "$name")
echo "$build/packages/$name.zip"
