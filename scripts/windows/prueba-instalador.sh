#!/usr/bin/env bash
# The setup program as a Windows user meets it, under Wine on a desktop (Xvfb and openbox), in a
# fresh Wine prefix: installed silently (/S), the Start-menu entry there, the installed lorum.exe
# started (its main window shows: build-win/instalado.png), the user's data folder filled; a
# complete request left unsaved by the Linux program is offered back, taken, a name typed over and
# saved with the keyboard (xdotool), and the Linux lorum-tabla reads it from the tables; uninstalled silently, the
# program's folder is gone and the user's folder stays. Needs build-win/ (construye-instalador.sh)
# and the Linux build-pruebas/ (scripts/probar.sh) for the draft helper and lorum-tabla.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/../.." && pwd)
cd "$raiz"
if [ -z "${LORUM_EN_XVFB:-}" ]; then
  export LORUM_EN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
falla() {
  echo "prueba-instalador: $*" >&2
  import -window root "$raiz/build-win/fallo-instalador.png" 2>/dev/null || true
  xdotool search --name . getwindowname %@ 2>/dev/null | sort -u >&2 || true
  exit 1
}
version=$(sed -n 's/^project(lorum VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
setup=$raiz/build-win/lorum-$version-win64-setup.exe
[ -f "$setup" ] || falla "falta $setup"
cmake --build build-pruebas --target ayudante_borrador lorum-tabla >/dev/null

tmp=$(mktemp -d)
export WINEPREFIX=$tmp/prefijo WINEDEBUG=-all
openbox --sm-disable >/dev/null 2>&1 & wm=$!
trap 'wineserver -k 2>/dev/null || true; kill $wm 2>/dev/null || true; rm -rf "$tmp"' EXIT
wineboot -i >/dev/null 2>&1

wine "$setup" /S
programa="$WINEPREFIX/drive_c/Program Files/LORUM"
for f in lorum.exe lorum-tabla.exe Qt6Core.dll Qt6Widgets.dll Qt6PrintSupport.dll platforms/qwindows.dll \
         styles/qwindowsvistastyle.dll translations/qtbase_es.qm CATPAIS.dbf Omercanci.dbf considera.rtf \
         rec/XYLOPHON.wav licencias/Qt-LGPL-3.txt licencias/zlib.txt lorum.instalado Uninstall.exe; do
  [ -e "$programa/$f" ] || falla "la instalación no tiene $f"
done
find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'LORUM.lnk' | grep -q . || falla "no hay entrada en el menú Inicio"

usuario=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming | grep -v /Public/ | head -1)/LORUM
ventana() {  # waits for a top-level window whose name starts with $1
  for _ in $(seq 300); do
    id=$(xdotool search --name "^$1" 2>/dev/null | head -1) && [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

# First start: the main window, the user's folder filled from the installed copy.
wine "$programa/lorum.exe" & pid=$!
ventana "LORUM" >/dev/null || falla "no se vio la ventana principal"
sleep 2
import -window root "$raiz/build-win/instalado.png"
for f in CATPAIS.dbf Omercanci.dbf considera.rtf rec/XYLOPHON.wav mercanci.dbf lorums.dbf empresas.dbf lorumpai.dbf; do
  [ -f "$usuario/$f" ] || falla "la carpeta del usuario no tiene $f"
done
wineserver -k; wait $pid 2>/dev/null || true

# A complete request typed into the Linux program and left unsaved, in the same user's folder.
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen build-pruebas/bin/ayudante_borrador "$usuario" no sale-no >/dev/null
[ -f "$usuario/lorum.borrador" ] || falla "no se dejó el borrador"
wine "$programa/lorum.exe" & pid=$!
caja=$(ventana "Dato requerido") || falla "no se avisó del RFC provisional"   # the stored placeholder's RFC
xdotool windowactivate --sync "$caja" key --clearmodifiers Return
caja=$(ventana "Confirmar") || falla "no se ofreció la información capturada"
xdotool windowactivate --sync "$caja" key --clearmodifiers Return   # "Sí"
principal=$(ventana "LORUM") || falla "no se vio la ventana principal"
sleep 1
# The given name typed over, lower case and an accent as a person types them; then "Guardar".
xdotool windowactivate --sync "$principal" key --clearmodifiers alt+n
xdotool type --delay 80 "maría"
xdotool key --clearmodifiers Tab
sleep 0.5
xdotool key --clearmodifiers ctrl+g
caja=$(ventana "Dato requerido") || falla "no se guardó"
xdotool windowactivate --sync "$caja" key --clearmodifiers Return
sleep 1
wineserver -k; wait $pid 2>/dev/null || true
empresa=$(build-pruebas/bin/lorum-tabla csv "$usuario/empresas.dbf")
grep -q 'PEGJ800101AB1' <<<"$empresa" && grep -q 'PEÑA' <<<"$empresa" && grep -q 'MARÍA' <<<"$empresa" || falla "la solicitud no quedó en empresas.dbf: $empresa"
build-pruebas/bin/lorum-tabla csv "$usuario/lorums.dbf" | grep -q 'FACTURAS' || falla "la solicitud no quedó en lorums.dbf"
[ ! -f "$usuario/lorum.borrador" ] || falla "el borrador siguió tras guardar"

wine "$programa/Uninstall.exe" /S
for _ in $(seq 100); do [ -e "$programa/lorum.exe" ] || break; sleep 0.2; done
[ ! -e "$programa/lorum.exe" ] || falla "la desinstalación dejó el programa"
[ -f "$usuario/empresas.dbf" ] || falla "la desinstalación tocó la carpeta del usuario"
echo "prueba-instalador: lorum-$version-win64-setup.exe correcto"
