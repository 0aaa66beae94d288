#pragma once

#include <cstdio>

namespace lorum {

class LectorDbf;

// Writes a table's records as CSV (RFC 4180, UTF-8): a header of field names, absent values as empty
// cells, numbers in general decimal form. With `conBorrados`, deleted records too, behind a first
// column "BORRADO" that holds "*" for them. Streams the raw records, without building strings per
// field, since it is used on large item tables. Throws ErrorTabla.
void ExportaCsv(LectorDbf& lector, bool conBorrados, std::FILE* salida);

}  // namespace lorum
