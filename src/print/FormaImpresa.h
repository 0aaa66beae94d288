#pragma once

#include <QDate>
#include <vector>
#include <QString>
#include <QStringList>

namespace lorum {

// The texts the capture form shows in its pickers, and the fraction, at the moment of printing.
struct TextosDeForma {
    QString tramite, regimen, destino, estado, unidad, fraccion;
};

// The printed request: its header (centred by the preview), the whole fixed-pitch text with its LF,
// CR and VT line breaks, the notices for items left out, and whether it could be built.
struct FormaImpresa {
    QString encabezado;
    QString texto;
    QStringList avisos;     // "La informacion en Mercancias no esta completa", once per item left out
    bool completa = true;   // false: an item value that is absent or wider than its column
    // Each item's lines, from its "Partida" heading to its price line, as character ranges
    // [first, end) of the text: the page loop keeps each one on one page.
    std::vector<std::pair<int, int>> bloques;
};

// Builds the printed request from the tables of the data directory (first applicant and request
// records, every item and country in table order), the form's texts and the day of printing.
// Throws ErrorTabla when a table cannot be read.
FormaImpresa FormateaInf(const QString& datos, const TextosDeForma& textos, const QDate& hoy);

}  // namespace lorum
