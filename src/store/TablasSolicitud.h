#pragma once

#include "Campo.h"

#include <QString>
#include <vector>

namespace lorum {

// The tables of one request, their templates and the catalogs: every field with its kind, width and
// place. Other code reads some fields by position, so the order here is part of the file layout.
namespace tablas {

// Working tables and the files that hold them in the data directory.
inline const QString kEmpresas = QStringLiteral("empresas.dbf");
inline const QString kLorums = QStringLiteral("lorums.dbf");
inline const QString kMercanci = QStringLiteral("mercanci.dbf");
inline const QString kLorumpai = QStringLiteral("lorumpai.dbf");
// Empty templates copied over them for a new request, and the table that lists every country.
inline const QString kPlantillaEmpresas = QStringLiteral("Oempresas.dbf");
inline const QString kPlantillaLorums = QStringLiteral("Olorums.dbf");
inline const QString kPlantillaMercanci = QStringLiteral("Omercanci.dbf");
inline const QString kPlantillaLorumpai = QStringLiteral("OLORUMPAI.dbf");
inline const QString kTodosLosPaises = QStringLiteral("TLORUMPAI.dbf");

const DefinicionTabla& Empresas();
const DefinicionTabla& Lorums();
const DefinicionTabla& Mercanci();
const DefinicionTabla& Lorumpai();

// A working table with its template.
struct TablaDeSolicitud {
    QString archivo;
    QString plantilla;
    const DefinicionTabla* definicion;
};
const std::vector<TablaDeSolicitud>& TablasDeSolicitud();

// A read-only catalog: its file, the CSV it is built from, its fields, and whether it is a plain
// dBase III table (no code page mark).
struct Catalogo {
    QString archivo;
    QString csv;
    DefinicionTabla definicion;
    bool dbaseIII = false;
};
const std::vector<Catalogo>& Catalogos();

}  // namespace tablas
}  // namespace lorum
