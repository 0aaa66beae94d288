#!/usr/bin/env bash
# Writes the test workbooks with independent writers: python3-openpyxl and python3-xlsxwriter
# (.xlsx), python3-xlwt (Excel 97, BIFF8), and gnumeric's ssconvert, which computes the formulas and
# writes Excel 5.0/95 (BIFF5), Excel 97 (BIFF8), .xlsx, .ods and .csv. Run once by hand; CI uses the
# files kept here. Needs: apt-get install gnumeric python3-openpyxl python3-xlsxwriter python3-xlwt
set -euo pipefail
cd "$(dirname "$0")"
py=/usr/bin/python3

# The cell kinds, in column B of sheet "Hoja1": openpyxl stores formulas without their results.
$py - <<'PY'
import datetime, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws.title = 'Hoja1'
for fila in [('Caso', 'Valor'), ('numero', 2.5), ('entero', 100), ('texto', 'CAÑA DE AZÚCAR €'),
             ('formula_numero', '=2*50'), ('formula_texto', '="AB"&"CD"'), ('formula_logico', '=1>0'),
             ('formula_error', '=1/0'), ('logico', True), ('error', '#N/A'),
             ('fecha', datetime.datetime(2026, 12, 7)), ('vacio', None), ('largo', 'X' * 9000 + 'Ñ')]:
    ws.append(list(fila))
ws['B11'].number_format = 'dd/mm/yyyy'
wb.save('tipos-openpyxl.xlsx')
PY
convierte() {  # source, then pairs of exporter and file
    local fuente=$1; shift
    while [ $# -gt 0 ]; do
        ssconvert --recalc -T "$1" "$fuente" "$2" >/dev/null 2>&1
        shift 2
    done
}
convierte tipos-openpyxl.xlsx Gnumeric_Excel:excel_biff7 tipos-biff5.xls Gnumeric_Excel:excel_biff8 tipos-biff8.xls \
    Gnumeric_Excel:xlsx tipos-gnumeric.xlsx Gnumeric_OpenCalc:openoffice tipos.ods

# The same three items in every format. Row 5 has an empty A, which ends the import; row 6 is never read.
$py - <<'PY'
import openpyxl, xlsxwriter, xlwt, csv
filas = [('Partida', 'Fraccion', 'Descripcion', 'Unidad', 'Cantidad', 'Valor'),
         (1, '01011001', 'CABALLOS DE RAZA', 1, 2.5, 100), (2, '01011002', 'VACAS LECHERAS', 0, 1, 50),
         (3, 1011003, 'OVEJAS, CORDEROS "FINAS"', None, None, None), (None,) * 6,
         (9, '99999999', 'NO SE LEE', 1, 1, 1)]
wb = openpyxl.Workbook()
wb.active.title = 'Hoja1'
for f in filas:
    wb.active.append(list(f))
wb.save('basico-openpyxl.xlsx')
# xlsxwriter keeps texts in the shared-string table and writes formulas with a result.
x = xlsxwriter.Workbook('basico-xlsxwriter.xlsx')
h = x.add_worksheet('Hoja1')
for r, f in enumerate(filas):
    for c, v in enumerate(f):
        if v is not None:
            h.write(r, c, v)
h.write_formula('F2', '=40*2.5', None, 100)
x.close()
libro = xlwt.Workbook(encoding='utf-8')
hoja = libro.add_sheet('Hoja1')
for r, f in enumerate(filas):
    for c, v in enumerate(f):
        if v is not None:
            hoja.write(r, c, v)
libro.save('basico-xlwt.xls')
# A spreadsheet on Windows in Spanish writes ";" and Windows-1252.
with open('basico-excel.csv', 'w', newline='', encoding='cp1252') as s:
    csv.writer(s, delimiter=';').writerows(['' if v is None else v for v in f] for f in filas)
# The only sheet of a workbook without "Hoja1".
otro = openpyxl.Workbook()
otro.active.title = 'Mercancias'
for f in filas:
    otro.active.append(list(f))
otro.save('una-hoja.xlsx')
otro = xlwt.Workbook(encoding='utf-8')
otro.add_sheet('Mercancias').write(0, 0, 'Partida')
otro.save('sin-hoja1.xls')
PY
convierte basico-openpyxl.xlsx Gnumeric_Excel:excel_biff7 basico-biff5.xls Gnumeric_Excel:excel_biff8 basico-biff8.xls \
    Gnumeric_OpenCalc:openoffice basico.ods Gnumeric_stf:stf_csv basico.csv

# A sheet as LibreOffice in a Spanish (Spain) locale saves it as text with its default options
# (";" or a tab between fields, UTF-8, cells as shown: "1.500" for fifteen hundred, "12,50").
# Needs: apt-get install libreoffice-calc-nogui
filtro='Text - txt - csv (StarCalc)'
soffice --headless --convert-to "csv:$filtro:59,34,76,1,,3082,false,true,true" espanol.fods >/dev/null
mv espanol.csv espanol-libreoffice.csv
soffice --headless --convert-to "txt:$filtro:9,34,76,1,,3082,false,true,true" espanol.fods >/dev/null
mv espanol.txt espanol-libreoffice-tab.csv
