#pragma once

#include "Libro.h"
#include "OrigenDatos.h"

#include <QString>

namespace lorum {

// Outcome of an import of items from a workbook.
struct ResultadoImportacion {
    bool ok = false;
    QString mensaje;  // on failure: what is wrong, naming rows, columns and values
    int agregadas = 0;
    // The running totals the form shows afterwards (quantity and value of the imported rows).
    QString totalCantidad = QStringLiteral("0");
    QString totalValor = QStringLiteral("0");
};

// The workbook "Importa Información" reads in the data directory: "mercancia.xls", else
// "mercancia.xlsx", "mercancia.ods", then "mercancia.csv", names matched without regard to case.
// Empty when there is none.
QString LibroDeMercancias(const QString& datos);

// Appends items to the item table from sheet "Hoja1" of `archivo` (by default the one
// LibroDeMercancias finds), read through `libro` (the "Excel 5.0;" data source, detached again at the
// end); in a .xlsx or .ods without "Hoja1" and with one sheet only, that sheet. Rows are read until
// the first empty item number. The whole sheet is checked first: when anything is wrong, nothing is
// appended and the message names the first ten faults and how many more there are.
ResultadoImportacion ImportaMercancias(OrigenDatos& libro, Cursor& mercanci, const QString& datos, QString archivo = {});

// The checks and the append for a sheet already read; `nombre` is the workbook's, for the message.
// A unit key is looked up in CATUM of `datos` once however many rows use it.
ResultadoImportacion ImportaHoja(const Hoja& hoja, const QString& nombre, Cursor& mercanci, const QString& datos);

}  // namespace lorum
