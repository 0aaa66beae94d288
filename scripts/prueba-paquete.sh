#!/usr/bin/env bash
# Builds the Debian package in a release build, checks it as Debian's tools do, unpacks it into a
# scratch root and starts the unpacked program there as a new user would: it fills the user's data
# folder, shows its main window and ends on SIGTERM. Used by scripts/probar.sh.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$raiz/build-paquete}
# Debian's own hardening flags on top of the project's; CMake reads CPPFLAGS from none, so they join CXXFLAGS.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S "$raiz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DLORUM_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)
version=$(sed -n 's/^project(lorum VERSION \([0-9.]*\).*/\1/p' "$raiz/CMakeLists.txt")
deb="$build/lorum_${version}_amd64.deb"
[ -f "$deb" ] || { echo "falta $deb"; exit 1; }

falla() { echo "prueba-paquete: $*" >&2; exit 1; }
contenido=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in usr/bin/lorum usr/bin/lorum-tabla usr/share/lorum/CATPAIS.dbf usr/share/lorum/Omercanci.dbf \
         usr/share/lorum/TLORUMPAI.dbf usr/share/lorum/considera.rtf usr/share/lorum/rec/XYLOPHON.wav \
         usr/share/applications/lorum.desktop usr/share/icons/hicolor/scalable/apps/lorum.svg \
         usr/share/icons/hicolor/48x48/apps/lorum.png usr/share/icons/hicolor/256x256/apps/lorum.png \
         usr/share/metainfo/example.lorum.Lorum.metainfo.xml usr/share/man/es/man1/lorum.1.gz \
         usr/share/man/es/man1/lorum-tabla.1.gz usr/share/man/man1/lorum.1.gz usr/share/doc/lorum/copyright; do
  grep -qx "./$f" <<<"$contenido" || falla "el paquete no tiene $f"
done
! grep -qi '/\(mercanci\|lorums\|empresas\|lorumpai\).dbf$' <<<"$contenido" || falla "el paquete trae tablas de trabajo"
# No warning, and no hardening tag of any level (lintian shows those only with -I).
lintian --fail-on error,warning "$deb"
if lintian -I "$deb" | grep -E 'hardening-'; then falla "el paquete no está endurecido"; fi
desktop-file-validate "$raiz/packaging/lorum.desktop"
appstreamcli validate --no-net "$build/packaging/example.lorum.Lorum.metainfo.xml" >/dev/null

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg -x "$deb" "$tmp/raiz"
export HOME="$tmp/casa"
unset XDG_DATA_HOME LORUM_DATOS LORUM_UNIDAD_A
mkdir -p "$HOME"
[ "$("$tmp/raiz/usr/bin/lorum" --version)" = "lorum $version" ] || falla "--version"
"$tmp/raiz/usr/bin/lorum" --help | grep -q -- '--datos' || falla "--help"

# On a real X server, so that the main window can be seen mapped.
cat > "$tmp/arranca.sh" <<'SH'
#!/usr/bin/env bash
set -euo pipefail
QT_QPA_PLATFORM=xcb "$1" & pid=$!
for _ in $(seq 200); do
  xwininfo -root -tree 2>/dev/null | grep -q '"LORUM' && break
  sleep 0.1
done
xwininfo -root -tree | grep -q '"LORUM' || { echo "no se vio la ventana principal" >&2; kill $pid; exit 1; }
kill -TERM $pid
wait $pid
SH
xvfb-run -a bash "$tmp/arranca.sh" "$tmp/raiz/usr/bin/lorum" || falla "el programa no arrancó o no terminó bien"
datos="$HOME/.local/share/lorum"
for f in CATPAIS.dbf Omercanci.dbf considera.rtf rec/XYLOPHON.wav mercanci.dbf lorums.dbf empresas.dbf lorumpai.dbf; do
  [ -f "$datos/$f" ] || falla "la carpeta del usuario no tiene $f"
done
echo "prueba-paquete: $(basename "$deb") correcto"
