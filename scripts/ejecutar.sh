#!/usr/bin/env bash
# Installs what is needed, builds LORUM and starts it. The request tables live beside the program
# in build/bin; rebuilding never touches them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/instalar-dependencias.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DLORUM_BENCH=OFF
cmake --build build
exec ./build/bin/lorum "$@"
