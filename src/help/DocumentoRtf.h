#pragma once

#include "LectorRtf.h"

class QTextDocument;

namespace lorum {

// Fills a text document with what the RTF reader read. Indents and spacing, kept in twips, are set
// in the pixels of the device the document is laid out for (`puntosPorPulgada`: the screen's or the
// printer's resolution); font sizes are in points and need no such care.
void LlenaDocumento(QTextDocument& documento, const DocumentoRtf& rtf, double puntosPorPulgada);

// Reads an RTF file; a missing or unreadable file reads as an empty document.
DocumentoRtf LeeArchivoRtf(const QString& ruta);

}  // namespace lorum
