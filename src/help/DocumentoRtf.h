#pragma once

#include "LectorRtf.h"

class QTextDocument;

namespace lorum {

// Fills a text document with what the RTF reader read; font sizes are in points. Indents, spacing and
// tab stops, kept in twips, go in pixels. On the screen both resolutions are the widget's. For a
// layout on a printer Qt scales spacing and tab stops from its own screen resolution
// (`ResolucionDeTexto`) but takes left and right margins and the first-line indent as they are, in
// the printer's pixels (`horizontal`).
void LlenaDocumento(QTextDocument& documento, const DocumentoRtf& rtf, double puntosPorPulgada,
                    double horizontal = 0);

// The resolution Qt's text layout measures fixed lengths in before scaling them to a printer.
int ResolucionDeTexto();

// Reads an RTF file; a missing or unreadable file reads as an empty document.
DocumentoRtf LeeArchivoRtf(const QString& ruta);

}  // namespace lorum
