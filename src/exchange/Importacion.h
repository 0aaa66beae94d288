#pragma once

#include "OrigenDatos.h"

#include <QString>

namespace lorum {

// Outcome of an import of items from the workbook "mercancia.xls".
struct ResultadoImportacion {
    bool ok = false;
    QString mensaje;  // on failure: what is wrong, naming rows, columns and values
    int agregadas = 0;
    // The running totals the form shows afterwards (quantity and value of the imported rows).
    QString totalCantidad = QStringLiteral("0");
    QString totalValor = QStringLiteral("0");
};

// Appends items to the item table from sheet "Hoja1" of "mercancia.xls" in the data directory, read
// through `libro` (the "Excel 5.0;" data source, detached again at the end). Rows are read until the
// first empty item number. The whole sheet is checked first (numbers, unit keys in CATUM, values that
// fit their fields): when anything is wrong, nothing is appended and the message names the first ten
// faults and how many more there are. A unit key is looked up once however many rows use it.
ResultadoImportacion ImportaMercancias(OrigenDatos& libro, Cursor& mercanci, const QString& datos);

}  // namespace lorum
