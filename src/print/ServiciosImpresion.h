#pragma once

#include <QRect>
#include <functional>
#include <utility>
#include <vector>

class QPrinter;
class QTextDocument;

namespace lorum {

// What a printer says of its sheet, in twips (1/1440 inch): the physical page, the printable area and
// where that area begins from the sheet's left and top edges.
struct DatosImpresora {
    int anchoPagina = 0, altoPagina = 0;
    int anchoImprimible = 0, altoImprimible = 0;
    int desplazamientoIzq = 0, desplazamientoSup = 0;
};
DatosImpresora LeeImpresora(const QPrinter& impresora);

// The line width, in twips, of text printed between a left and a right margin (from the sheet's edges).
int AnchoDeLinea(const DatosImpresora& d, int izquierdo, int derecho);

// Where one page of text is drawn (inside the margins, relative to the printable area) and the page
// rectangle (the printable area, 200 twips shorter), in twips.
struct Rectangulos {
    QRect dibujo;
    QRect pagina;
};
Rectangulos RectangulosDeImpresion(const DatosImpresora& d, int izquierdo, int superior, int derecho, int inferior);

// The page loop: `dibuja(desde)` draws from a character on the current page and answers the first
// character that did not fit; `nuevaPagina()` ejects the page. Stops when a pass makes no progress or
// the text (of `largo` characters) is done. Returns the number of pages.
int RecorrePaginas(int largo, const std::function<int(int desde)>& dibuja, const std::function<void()>& nuevaPagina);

// Lays a document out for the printer with the line width of its margins (what the user sees wraps
// as it will print). The document then measures in the printer's pixels.
int AjustaRTFImpresora(QTextDocument& documento, QPrinter& impresora, int izquierdo, int derecho);

// Prints the whole document as one print job inside the margins (twips from the sheet's edges), page
// by page. A range of characters of `juntos` that does not fit on the rest of a page starts the
// next one, unless it is longer than a page. Returns the pages printed; 0 when the printer could not
// be started.
int ImprimeRTF(QTextDocument& documento, QPrinter& impresora, int izquierdo, int superior, int derecho, int inferior,
               const std::vector<std::pair<int, int>>& juntos = {});

}  // namespace lorum
