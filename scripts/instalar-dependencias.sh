#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing LORUM need.
set -euo pipefail

paquetes=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  qt6-base-dev qt6-translations-l10n libpulse0 libminizip-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 python3-dbfread python3-dbf shapelib
  xvfb xauth openbox x11-utils imagemagick bc poppler-utils fonts-dejavu-core libgl-dev
  dpkg-dev lintian desktop-file-utils appstream
)

faltan=()
for p in "${paquetes[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || faltan+=("$p")
done
[ ${#faltan[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
echo "Instalando: ${faltan[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${faltan[@]}"
