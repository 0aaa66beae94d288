#!/usr/bin/env bash
# Writes the test workbooks with independent writers: gnumeric's ssconvert (Excel 5.0/95, BIFF5, and
# Excel 97, BIFF8) from CSV, and python3-xlwt (BIFF8). Run once by hand; CI uses the files kept here.
# Needs: apt-get install gnumeric python3-xlwt
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

libro() {  # name, then the rows of sheet "Hoja1" as CSV
    local nombre=$1; shift
    mkdir -p "$tmp/$nombre"
    # The sheet takes the name of the file it comes from: "Hoja1".
    printf '%s\n' "$@" > "$tmp/$nombre/Hoja1"
    for biff in 7 8; do
        ssconvert -I Gnumeric_stf:stf_csvtab -T "Gnumeric_Excel:excel_biff$biff" "$tmp/$nombre/Hoja1" \
            "${nombre}-biff$([ $biff = 7 ] && echo 5 || echo 8).xls" >/dev/null 2>&1
    done
}

encabezado='Partida,Fraccion,Descripcion,Unidad,Cantidad,Valor'
# Three items, an empty A that ends the import, and a row after it that is never read.
libro basico "$encabezado" '1,01011001,CABALLOS DE RAZA,1,2.5,100' '2,01011002,VACAS LECHERAS,0,1,50' \
    '3,01011003,"OVEJAS, CORDEROS",,,' ',,,,,' '9,99999999,NO SE LEE,1,1,1'
# The first item row has no item number: nothing is imported.
libro vacio "$encabezado" ',01011001,SIN PARTIDA,1,1,1' '2,01011002,TAMPOCO,1,1,1'
# A value longer than 15 characters is cut, as the totals are.
libro largo "$encabezado" '1,01011001,PRECISION,6,1234567.123456789,1234567.123456789'
# Every kind of fault; nothing may be appended.
libro malo "$encabezado" '1,01011001,BIEN,1,1,1' 'X1,01011002,PARTIDA MALA,1,1,1' '3,01011003,UNIDAD QUE NO HAY,99,1,1' \
    '4,01011004,CANTIDAD MALA,1,abc,1' '5,01011005,VALOR ENORME,1,1,1e20' '6,123456789,FRACCION LARGA,1,1,1'

/usr/bin/python3 - <<'PY'
import xlwt
libro = xlwt.Workbook(encoding='utf-8')
hoja = libro.add_sheet('Hoja1')
for c, t in enumerate(['Partida', 'Fraccion', 'Descripcion', 'Unidad', 'Cantidad', 'Valor']):
    hoja.write(0, c, t)
filas = [(1, '01011001', 'CABALLOS DE RAZA', 1, 2.5, 100), (2, '01011002', 'VACAS LECHERAS', 0, 1, 50),
         (3, '01011003', 'OVEJAS, CORDEROS', None, None, None)]
for f, fila in enumerate(filas, start=1):
    for c, v in enumerate(fila):
        if v is not None:
            hoja.write(f, c, v)
libro.save('basico-xlwt.xls')
otro = xlwt.Workbook(encoding='utf-8')
otro.add_sheet('Mercancias').write(0, 0, 'Partida')
otro.save('sin-hoja1.xls')
PY
