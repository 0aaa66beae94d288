#pragma once

#include "Campo.h"

#include <QString>

namespace lorum {

// The path of the file of a directory whose name equals `nombre` without regard to letter case; when
// there is none, the directory joined with `nombre` as given. Throws ErrorTabla when two files differ
// only in case, rather than guess between them.
QString ResuelveArchivo(const QString& directorio, const QString& nombre);
QString ResuelveRuta(const QString& ruta);  // the same for a whole path
bool ExisteArchivo(const QString& ruta);    // letter case ignored in the file's name

// Flushes a folder's entries (a file renamed into it) to stable storage; false when refused.
bool AseguraDirectorio(const QString& directorio);

// Checks a table file before it may replace a working table: readable to its last record, and holding
// every field of `leidos` by name (any case) and kind. Throws ErrorTabla naming the file and the fault.
void CompruebaTabla(const QString& ruta, const DefinicionTabla& leidos);

// Outcome of a whole-file copy: whether it worked and, when not, a Spanish message naming the file.
struct ResultadoCopia {
    bool ok = false;
    QString mensaje;
};

// Copies a table file over another, atomically: the copy is written beside the target and renamed
// over it, so a failure leaves the target byte for byte as it was. An open table of the target path
// is read anew afterwards. Both names are matched without regard to letter case.
ResultadoCopia CopiaTabla(const QString& origen, const QString& destino);

}  // namespace lorum
