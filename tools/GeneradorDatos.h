#pragma once

#include <QString>

namespace lorum {

// Lays out a data directory: writes the templates, the all-countries table and the catalogs (built
// from the CSV files of `dirCsv`) every time, and the four working tables only when they are absent,
// so a user's request is never touched. Throws ErrorTabla naming the file that failed.
void PreparaDirectorioDatos(const QString& dirCsv, const QString& dirDatos);

}  // namespace lorum
