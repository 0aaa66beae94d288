#!/usr/bin/env bash
# Installs what is needed, builds with warnings as errors under AddressSanitizer and
# UndefinedBehaviorSanitizer, fuzzes the table, RTF and workbook readers for a bounded time (when
# clang is there), runs every test with CTest, then builds the Debian package and tries it; then the
# Windows build's tests under Wine and its setup program (scripts/windows/probar.sh) when the Windows
# SDK is at hand. LORUM_WINDOWS=1 requires them (building the SDK first, about 90 minutes, if it is
# not there), LORUM_WINDOWS=0 leaves them out.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/instalar-dependencias.sh

jobs=$(nproc)
if command -v clang++ >/dev/null 2>&1; then
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLORUM_FUZZ=ON -DLORUM_SOLO_MOTOR=ON -DBUILD_TESTING=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
  cmake --build build-fuzz -j "$jobs"
  bash fuzz/ejecutar-fuzz.sh build-fuzz "${LORUM_FUZZ_SEGUNDOS:-40}"
fi

cmake -S . -B build-pruebas -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLORUM_SANITIZE=ON \
  -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build build-pruebas -j "$jobs"
ctest --test-dir build-pruebas --output-on-failure --no-tests=error -j "$jobs"
bash scripts/prueba-paquete.sh build-paquete

windows=${LORUM_WINDOWS:-auto}
if [ "$windows" = auto ] && { [ -n "${LORUM_WIN_SDK:-}" ] || [ -f ../shared/windows/lorum-win-sdk.tar.xz ] ||
                               [ -f "$HOME/.cache/lorum-win-sdk/mingw-toolchain.cmake" ]; }; then
  windows=1
fi
if [ "$windows" = 1 ]; then
  bash scripts/windows/probar.sh
else
  echo "probar: sin el SDK de Windows no se prueba la versión para Windows (LORUM_WINDOWS=1 lo construye)"
fi
