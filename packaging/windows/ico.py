#!/usr/bin/env python3
"""Writes a Windows icon (.ico) holding the given PNG images as they are (PNG entries, which Windows
reads since Vista): ico.py SALIDA.ico IMAGEN.png..."""
import struct
import sys


def tamano(png):
    if png[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit("no es PNG")
    return struct.unpack(">II", png[16:24])


def main():
    salida, imagenes = sys.argv[1], [open(r, "rb").read() for r in sys.argv[2:]]
    cabecera = struct.pack("<HHH", 0, 1, len(imagenes))
    directorio, datos = b"", b""
    inicio = 6 + 16 * len(imagenes)
    for png in imagenes:
        ancho, alto = tamano(png)
        directorio += struct.pack("<BBBBHHII", ancho % 256, alto % 256, 0, 0, 1, 32, len(png), inicio + len(datos))
        datos += png
    with open(salida, "wb") as f:
        f.write(cabecera + directorio + datos)


main()
