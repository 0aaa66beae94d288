#!/usr/bin/python3
"""Writes N item rows (sheet Hoja1) for bench_importa as PATH.xls (python3-xlwt, BIFF8) and PATH.xlsx
(python3-openpyxl)."""
import sys

import openpyxl
import xlwt

ruta, n = sys.argv[1], int(sys.argv[2])
encabezado = ['Partida', 'Fraccion', 'Descripcion', 'Unidad', 'Cantidad', 'Valor']
filas = [[i, '%08d' % (1011001 + i % 1000), 'MERCANCÍA NÚMERO %d' % i, i % 21 + 1, 1 + i % 7, 10.5 * i]
         for i in range(1, n + 1)]
libro = xlwt.Workbook(encoding='utf-8')
hoja = libro.add_sheet('Hoja1')
for f, fila in enumerate([encabezado] + filas):
    for c, v in enumerate(fila):
        hoja.write(f, c, v)
libro.save(ruta + '.xls')
x = openpyxl.Workbook()
x.active.title = 'Hoja1'
for fila in [encabezado] + filas:
    x.active.append(fila)
x.save(ruta + '.xlsx')
