#!/usr/bin/env bash
# Builds LORUM for 64-bit Windows on Debian 12 and makes its setup program and portable folder:
#   build-win/lorum-1.0.9-win64-setup.exe   build-win/lorum-1.0.9-win64.zip
# It installs the Debian packages it needs (MinGW-w64, NSIS, Wine, Qt's host tools), takes the Windows
# SDK (Qt, zlib and minizip, GoogleTest built for Windows) from LORUM_WIN_SDK, else from
# ../shared/windows/lorum-win-sdk.tar.xz, else builds it from Debian's source packages (about 90 minutes).
# The toolbar icons are drawn by a build for this machine, where its fonts are.
set -euo pipefail
cd "$(dirname "$0")/../.."
raiz=$(pwd)
sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
  g++-mingw-w64-x86-64-posix mingw-w64-tools nsis wine wine64 qt6-base-dev qt6-base-dev-tools \
  qt6-translations-l10n libminizip-dev cmake ninja-build python3 xz-utils >/dev/null

sdk=${LORUM_WIN_SDK:-}
if [ -z "$sdk" ]; then
  sdk=$HOME/.cache/lorum-win-sdk
  if [ ! -f "$sdk/mingw-toolchain.cmake" ]; then
    mkdir -p "$HOME/.cache"
    if [ -f "$raiz/../shared/windows/lorum-win-sdk.tar.xz" ]; then
      tar xf "$raiz/../shared/windows/lorum-win-sdk.tar.xz" -C "$HOME/.cache"
    else
      bash scripts/windows/construye-sdk.sh "$sdk"
    fi
  fi
fi

# The icons' pixels, drawn here.
cmake -S . -B build-anfitrion -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DLORUM_BENCH=OFF >/dev/null
cmake --build build-anfitrion --target lorum-iconos
QT_QPA_PLATFORM=offscreen build-anfitrion/src/shell/lorum-iconos build-anfitrion/iconos-barra.rgba

export WINEDEBUG=-all
cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE="$sdk/mingw-toolchain.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DLORUM_BENCH=OFF -DBUILD_TESTING=OFF \
  -DLORUM_ICONOS_PIXELES="$raiz/build-anfitrion/iconos-barra.rgba"
cmake --build build-win
(cd build-win && cpack)
ls -l build-win/lorum-*-win64-setup.exe build-win/lorum-*-win64.zip
