#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace lorum {

// A family a font table gives with its name (\froman, \fswiss, ...), for picking a look-alike font.
enum class FamiliaRtf { Ninguna, Romana, Suiza, Fija, Manuscrita, Decorativa, Tecnica };

// A run of text with one character format. Line breaks inside a paragraph are U+2028, tabs '\t'.
struct TramoRtf {
    QString texto;
    bool negrita = false, cursiva = false, subrayado = false;
    int medioPuntos = 24;  // the size in half-points, as RTF counts it
    QString fuente;        // the font's name from the font table; empty when none was named
    FamiliaRtf familia = FamiliaRtf::Ninguna;
    bool operator==(const TramoRtf&) const = default;
};

enum class AlineacionRtf { Izquierda, Centro, Derecha, Justificada };

// A paragraph: its alignment, indents and spacing (twips), and its runs.
struct ParrafoRtf {
    AlineacionRtf alineacion = AlineacionRtf::Izquierda;
    int sangriaIzq = 0, sangriaDer = 0, primeraLinea = 0, espacioAntes = 0, espacioDespues = 0;
    QList<int> tabuladores;  // tab stops, twips from the left margin
    QList<TramoRtf> tramos;
    bool operator==(const ParrafoRtf&) const = default;
};

struct DocumentoRtf {
    QList<ParrafoRtf> parrafos;
};

// Reads the rich text a word processor writes (RTF 1.x) into paragraphs and runs: groups, paragraphs,
// line breaks, tabs, bold, italic, underline, size, font from the font table, alignment, indents,
// \'hh in the file's code page (\ansicpg, 1252 when not said), \uN with its \ucN fallback, and the
// common symbols. Destinations that are no body text (font, colour and style tables, document
// information, pictures, headers and footers, anything marked \*) are skipped. Never fails: damaged
// input (unbalanced braces, a cut file, huge numbers) gives the text read up to the damage.
DocumentoRtf LeeRtf(const QByteArray& rtf);

// The text alone: paragraphs end with '\n', line breaks become '\n', tabs stay.
QString TextoPlano(const DocumentoRtf& documento);

}  // namespace lorum
