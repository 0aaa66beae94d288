#pragma once

#include "Cursor.h"

#include <QString>
#include <memory>

namespace lorum {

// Opens a record source of a directory: a table name in any case, with or without ".dbf", or a
// select statement. The driver strings "FoxPro 2.5;", "FoxPro 2.6;" and "dBASE III;" all read and
// write the same table files. Throws ErrorTabla naming the file and the fault.
Cursor AbreCursor(const QString& directorio, const QString& conexion, const QString& fuente);

// A named data source of a window: directory, driver string and record source, and the cursor opened
// from them. Desliga() lets go of the table so that its file can be replaced; Refresca() opens it anew.
// With the driver "Excel 5.0;" the directory is the workbook's path and the record source its sheet
// ("Hoja1$"): the source only names them for the workbook reader, and opens no table.
class OrigenDatos {
public:
    void Conecta(const QString& directorio, const QString& conexion, const QString& fuente);
    void Refresca();
    void Desliga();

    bool abierto() const { return cursor_ != nullptr; }
    Cursor& Registros();  // throws when not open

    const QString& directorio() const { return directorio_; }
    const QString& conexion() const { return conexion_; }
    const QString& fuente() const { return fuente_; }

private:
    QString directorio_;
    QString conexion_;
    QString fuente_;
    std::unique_ptr<Cursor> cursor_;
};

}  // namespace lorum
