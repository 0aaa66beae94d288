"""Interoperability of the table engine with independent readers and writers from Debian.

Run by CTest with Debian's python3: interop.py LORUM_TABLA AYUDANTE DIR_DATOS
"""
import csv
import datetime
import io
import os
import subprocess
import sys
import tempfile
import unittest

import dbf
import dbfread

LORUM_TABLA, AYUDANTE, DIR_DATOS = sys.argv[1:4]
del sys.argv[1:4]


def lorum_csv(ruta):
    salida = subprocess.run([LORUM_TABLA, "csv", ruta], check=True, capture_output=True).stdout
    return list(csv.reader(io.StringIO(salida.decode("utf-8"), newline="")))


def texto(valor):
    """A value as lorum-tabla writes it in CSV."""
    if valor is None:
        return ""
    if isinstance(valor, bool):
        return "T" if valor else "F"
    if isinstance(valor, (int, float)):
        return ("%.15g" % valor) if "e" not in ("%.15g" % valor) else repr(valor)
    if isinstance(valor, datetime.date):
        return valor.isoformat()
    return str(valor).rstrip()


def filas_dbfread(ruta, **opciones):
    tabla = dbfread.DBF(ruta, char_decode_errors="strict", **opciones)
    filas = [[texto(v) for v in registro.values()] for registro in tabla]
    return [list(tabla.field_names)] + filas


def filas_dbf(ruta):
    tabla = dbf.Table(ruta)
    tabla.open(dbf.READ_ONLY)
    try:
        nombres = [n.upper() for n in tabla.field_names]
        filas = []
        for registro in tabla:
            if dbf.is_deleted(registro):
                continue
            fila = []
            for n in tabla.field_names:
                v = registro[n]
                fila.append(texto(v.rstrip() if isinstance(v, str) else v))
            filas.append(fila)
        return [nombres] + filas
    finally:
        tabla.close()


class LectoresIndependientesLeenLoQueEscribeElMotor(unittest.TestCase):
    def test_cada_tabla_generada(self):
        tablas = sorted(f for f in os.listdir(DIR_DATOS) if f.lower().endswith(".dbf"))
        self.assertGreaterEqual(len(tablas), 17)
        for nombre in tablas:
            ruta = os.path.join(DIR_DATOS, nombre)
            with self.subTest(tabla=nombre):
                esperado = lorum_csv(ruta)
                self.assertEqual(filas_dbfread(ruta), esperado)
                self.assertEqual(filas_dbf(ruta), esperado)

    def test_texto_espanol(self):
        with tempfile.TemporaryDirectory() as d:
            ruta = os.path.join(d, "espanol.dbf")
            subprocess.run([AYUDANTE, ruta], check=True)
            esperado = [
                ["TEXTO", "IMPORTE", "CLAVE", "FECHA", "VACIO"],
                ["AÑO DE PEÑA NIETO, CAMIÓN Y PINGÜINO", "3.3333333333", "1", "2026-02-28", ""],
                ["¿QUÉ? ¡SÍ! ÁÉÍÓÚ áéíóú ñÑ üÜ º ª", "1234567.1234567", "22", "2026-02-28", ""],
                ["COMILLAS \"DOBLES\" Y 'SIMPLES'", "14.5", "333", "2026-02-28", ""],
                [" EMPIEZA CON BLANCO", "-0.5", "0", "2026-02-28", ""],
            ]
            self.assertEqual(lorum_csv(ruta), esperado)
            self.assertEqual(filas_dbfread(ruta), esperado)
            self.assertEqual(filas_dbf(ruta), esperado)
            self.assertEqual(dbfread.DBF(ruta).encoding, "cp850")


class ElMotorLeeLoQueEscribenOtros(unittest.TestCase):
    def test_python_dbf_en_850_y_1252(self):
        for pagina in ("cp850", "cp1252"):
            with self.subTest(pagina=pagina), tempfile.TemporaryDirectory() as d:
                ruta = os.path.join(d, "otro.dbf")
                tabla = dbf.Table(ruta, "nombre C(40); importe N(12,4); clave N(4,0); alta D; activo L",
                                  codepage=pagina)
                tabla.open(dbf.READ_WRITE)
                tabla.append(("MÉXICO Y ESPAÑA ¿Ñ?", 14.5, 7, datetime.date(2024, 2, 29), True))
                tabla.append(("ÁREA ÚNICA", -3.25, None, None, False))
                tabla.append(("BORRADO", 1, 1, None, None))
                dbf.delete(tabla[2])
                tabla.close()
                self.assertEqual(lorum_csv(ruta), [
                    ["NOMBRE", "IMPORTE", "CLAVE", "ALTA", "ACTIVO"],
                    ["MÉXICO Y ESPAÑA ¿Ñ?", "14.5", "7", "2024-02-29", "T"],
                    ["ÁREA ÚNICA", "-3.25", "", "", "F"],
                ])

    def test_shapelib(self):
        with tempfile.TemporaryDirectory() as d:
            base = os.path.join(d, "shp")
            subprocess.run(["dbfcreate", base, "-s", "NOMBRE", "30", "-n", "VALOR", "12", "3"], check=True)
            subprocess.run(["dbfadd", base, "CAMIÓN AÑEJO".encode("cp1252"), "12.5"], check=True)
            subprocess.run(["dbfadd", base, "PLAIN", "-7"], check=True)
            self.assertEqual(lorum_csv(base + ".dbf"), [
                ["NOMBRE", "VALOR"],
                ["CAMIÓN AÑEJO", "12.5"],
                ["PLAIN", "-7"],
            ])


class OrdenLorumTabla(unittest.TestCase):
    def test_estructura_borrados_y_errores(self):
        with tempfile.TemporaryDirectory() as d:
            ruta = os.path.join(d, "t.dbf")
            tabla = dbf.Table(ruta, "nombre C(10); importe N(8,2)", codepage="cp850")
            tabla.open(dbf.READ_WRITE)
            tabla.append(("VIVO", 1.5))
            tabla.append(("MUERTO, SÍ", 2))
            dbf.delete(tabla[1])
            tabla.close()
            r = subprocess.run([LORUM_TABLA, "estructura", ruta.upper().replace(d.upper(), d)],
                               check=True, capture_output=True, text=True)
            self.assertEqual(r.stdout, "0 NOMBRE C 10 0\n1 IMPORTE N 8 2\n")
            r = subprocess.run([LORUM_TABLA, "csv", "--borrados", ruta], check=True, capture_output=True)
            self.assertEqual(r.stdout.decode("utf-8"),
                             "BORRADO,NOMBRE,IMPORTE\r\n,VIVO,1.5\r\n*,\"MUERTO, SÍ\",2\r\n")

            for argumentos, codigo, mensaje in (
                (["csv", os.path.join(d, "nada.dbf")], 1, "no existe"),
                (["csv", os.path.join(d, "roto.dbf")], 1, "roto.dbf"),
                (["estructura"], 2, "Uso"),
                (["borra", ruta], 2, "Uso"),
            ):
                with open(os.path.join(d, "roto.dbf"), "wb") as f:
                    f.write(b"\x03esto no es una tabla")
                r = subprocess.run([LORUM_TABLA] + argumentos, capture_output=True)
                self.assertEqual(r.returncode, codigo, argumentos)
                self.assertIn(mensaje, r.stderr.decode("utf-8"), argumentos)


if __name__ == "__main__":
    unittest.main(verbosity=2)
