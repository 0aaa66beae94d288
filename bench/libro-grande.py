#!/usr/bin/python3
"""Writes a BIFF8 workbook with N item rows (sheet Hoja1) for bench_importa, with python3-xlwt."""
import sys
import xlwt

ruta, n = sys.argv[1], int(sys.argv[2])
libro = xlwt.Workbook(encoding='utf-8')
hoja = libro.add_sheet('Hoja1')
for c, t in enumerate(['Partida', 'Fraccion', 'Descripcion', 'Unidad', 'Cantidad', 'Valor']):
    hoja.write(0, c, t)
for i in range(1, n + 1):
    for c, v in enumerate([i, '%08d' % (1011001 + i % 1000), 'MERCANCÍA NÚMERO %d' % i, i % 21 + 1, 1 + i % 7, 10.5 * i]):
        hoja.write(i, c, v)
libro.save(ruta)
