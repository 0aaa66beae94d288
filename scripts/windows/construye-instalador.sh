#!/usr/bin/env bash
# Builds LORUM for 64-bit Windows on Debian 12 and makes its setup program and portable folder:
#   build-win/lorum-1.0.9-win64-setup.exe   build-win/lorum-1.0.9-win64.zip
# It installs the Debian packages it needs (MinGW-w64, NSIS, Wine, Qt's host tools) and takes the
# Windows SDK as scripts/windows/comun.sh says.
set -euo pipefail
source "$(dirname "$0")/comun.sh"
iconos
configura_windows build-win -DBUILD_TESTING=OFF
cmake --build build-win
(cd build-win && cpack)
ls -l build-win/lorum-*-win64-setup.exe build-win/lorum-*-win64.zip
