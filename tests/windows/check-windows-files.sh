#!/usr/bin/env bash
# The Windows files as objdump reads them: Orvanta.dll exports Startup and nothing else and calls
# the host through VelLib.dll's import library; no Windows file needs Qt or holds dxflib, which
# only the Linux benchmarks use as a yardstick.
#   check-windows-files.sh BIN_FOLDER
set -euo pipefail
bin=$1
objdump=$(command -v x86_64-w64-mingw32-objdump)
plugin=$bin/Orvanta.dll
status=0

exports=$("$objdump" -p "$plugin" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p')
if [ "$exports" != "Startup" ]; then
  echo "Orvanta.dll: expected Startup as the only export, found: ${exports:-nothing}"
  status=1
fi

# The DLLs each file imports, and the functions it imports from VelLib.dll.
imports_of() { "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'; }
vellib_calls=$("$objdump" -p "$plugin" | awk '/DLL Name:/ {in_vel = ($3 == "VelLib.dll"); next}
  in_vel && $NF ~ /^Vel/ {print $NF}')
if ! imports_of "$plugin" | grep -cx 'VelLib.dll' >/dev/null || [ -z "$vellib_calls" ]; then
  echo "Orvanta.dll: imports nothing from VelLib.dll"
  status=1
fi
for file in "$bin"/Orvanta.dll "$bin"/VelLib.dll "$bin"/velhost.exe; do
  if imports_of "$file" | grep -ci '^qt' >/dev/null; then
    echo "$(basename "$file"): needs Qt: $(imports_of "$file" | grep -i '^qt' | tr '\n' ' ')"
    status=1
  fi
done
# (Whole outputs are searched: grep -q leaving early would fail the pipe.)
for file in "$plugin" "$bin/velhost.exe"; do
  if "$objdump" -t "$file" | grep -c 'DL_Dxf\|DL_Writer' >/dev/null; then
    echo "$(basename "$file"): holds dxflib"
    status=1
  fi
done
[ "$status" -eq 0 ] || exit "$status"
echo "Orvanta.dll exports: $exports; imports $(echo "$vellib_calls" | wc -l) calls from VelLib.dll:" \
  "$(echo "$vellib_calls" | head -n 4 | tr '\n' ' ')..."
