#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace lorum {

// Reads a UTF-8 CSV file (RFC 4180: quoted fields, doubled quotes, line breaks inside quotes) into
// rows of fields. Throws ErrorTabla naming the file when it cannot be read or a quote is left open.
std::vector<QStringList> LeeCsv(const QString& ruta);

// Appends one field to a CSV line, quoted when it holds a comma, a quote or a line break.
void AgregaCampoCsv(std::string& linea, std::string_view campo);

}  // namespace lorum
