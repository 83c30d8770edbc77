#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, only when some are missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev clang-format
  qt6-base-dev libgl-dev libxkbcommon-dev libxcb1-dev pkg-config
  qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
  libdxflib-dev nlohmann-json3-dev libcli11-dev libboost-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-nanum locales
  g++-mingw-w64-x86-64 wine64 fonts-wine dpkg-dev
  python3-ezdxf librecad-data librecad qtbase5-dev xvfb xdotool imagemagick lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
