# Shared by the Windows scripts (sourced): installs the Debian packages the Windows build needs and
# sets `sdk` to the Windows SDK (Qt, zlib and minizip, GoogleTest built for Windows): LORUM_WIN_SDK,
# else ../shared/windows/lorum-win-sdk.tar.xz unpacked, else built from Debian's source packages
# (about 90 minutes). Sets `raiz` to the source folder.
raiz=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$raiz"
sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
  g++-mingw-w64-x86-64-posix mingw-w64-tools nsis wine wine64 qt6-base-dev qt6-base-dev-tools \
  qt6-translations-l10n libminizip-dev cmake ninja-build python3 xz-utils unzip \
  xvfb xauth openbox x11-utils xdotool imagemagick >/dev/null
export WINEDEBUG=-all

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

# The toolbar icons' pixels are drawn by a build for this machine, where its fonts are.
iconos() {
  cmake -S . -B build-anfitrion -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DLORUM_BENCH=OFF >/dev/null
  cmake --build build-anfitrion --target lorum-iconos
  QT_QPA_PLATFORM=offscreen build-anfitrion/src/shell/lorum-iconos build-anfitrion/iconos-barra.rgba
}

# Configures a Windows build in folder $1; the rest are more CMake options.
configura_windows() {
  local carpeta=$1; shift
  cmake -S . -B "$carpeta" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$sdk/mingw-toolchain.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DLORUM_BENCH=OFF -DLORUM_ICONOS_PIXELES="$raiz/build-anfitrion/iconos-barra.rgba" "$@"
}
