#!/usr/bin/env bash
# The Windows side of the tests, on Debian 12: the whole test suite cross-built and run under Wine
# through CTest, then the setup program built, installed silently, started on a desktop (Xvfb and
# openbox), used and uninstalled (scripts/windows/prueba-instalador.sh).
set -euo pipefail
source "$(dirname "$0")/comun.sh"
iconos
configura_windows build-win-pruebas -DBUILD_TESTING=ON
cmake --build build-win-pruebas
# One Wine server and a ready prefix for all the tests, so that the first ones do not race to make it.
wineboot -i >/dev/null 2>&1 || true
wineserver -p 2>/dev/null || true
# A Wine process that fails to start at all (a few in a thousand, when many start at once) is tried again.
ctest --test-dir build-win-pruebas --output-on-failure --no-tests=error -j "$(nproc)" --timeout 900 --repeat until-pass:2
bash scripts/windows/construye-instalador.sh
bash scripts/windows/prueba-instalador.sh
wineserver -k || true
