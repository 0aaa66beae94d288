#include "ServiciosImpresion.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace lorum {

namespace {

constexpr double kTwipsPorPulgada = 1440.0;

int Twips(double pixeles, int resolucion) { return qRound(pixeles * kTwipsPorPulgada / resolucion); }
double Pixeles(int twips, int resolucion) { return twips * resolucion / kTwipsPorPulgada; }

}  // namespace

DatosImpresora LeeImpresora(const QPrinter& impresora) {
    const int rx = impresora.logicalDpiX(), ry = impresora.logicalDpiY();
    const QRectF papel = impresora.paperRect(QPrinter::DevicePixel);
    const QRectF area = impresora.pageRect(QPrinter::DevicePixel);
    DatosImpresora d;
    d.anchoPagina = Twips(papel.width(), rx);
    d.altoPagina = Twips(papel.height(), ry);
    d.anchoImprimible = Twips(area.width(), rx);
    d.altoImprimible = Twips(area.height(), ry);
    d.desplazamientoIzq = Twips(area.left() - papel.left(), rx);
    d.desplazamientoSup = Twips(area.top() - papel.top(), ry);
    return d;
}

int AnchoDeLinea(const DatosImpresora& d, int izquierdo, int derecho) {
    const int margenIzq = izquierdo - d.desplazamientoIzq;
    const int margenDer = (d.anchoPagina - derecho) - d.desplazamientoIzq;
    return margenDer - margenIzq;
}

Rectangulos RectangulosDeImpresion(const DatosImpresora& d, int izquierdo, int superior, int derecho, int inferior) {
    Rectangulos r;
    r.dibujo = QRect(QPoint(izquierdo - d.desplazamientoIzq, superior - d.desplazamientoSup),
                     QPoint((d.anchoPagina - derecho) - d.desplazamientoIzq, (d.altoPagina - inferior) - d.desplazamientoSup));
    r.pagina = QRect(QPoint(0, 0), QPoint(d.anchoImprimible, d.altoImprimible - 200));
    return r;
}

int RecorrePaginas(int largo, const std::function<int(int)>& dibuja, const std::function<void()>& nuevaPagina) {
    int desde = 0;
    int anterior = 0;
    int paginas = 1;
    for (;;) {
        const int p = dibuja(desde);
        if (p == anterior || p >= largo) return paginas;
        anterior = p;
        desde = p;
        nuevaPagina();
        ++paginas;
    }
}

int AjustaRTFImpresora(QTextDocument& documento, QPrinter& impresora, int izquierdo, int derecho) {
    const int ancho = AnchoDeLinea(LeeImpresora(impresora), izquierdo, derecho);
    documento.documentLayout()->setPaintDevice(&impresora);
    documento.setDocumentMargin(0);
    documento.setTextWidth(Pixeles(ancho, impresora.logicalDpiX()));
    return ancho;
}

int ImprimeRTF(QTextDocument& documento, QPrinter& impresora, int izquierdo, int superior, int derecho, int inferior,
               const std::vector<std::pair<int, int>>& juntos) {
    const DatosImpresora d = LeeImpresora(impresora);
    const int rx = impresora.logicalDpiX(), ry = impresora.logicalDpiY();
    AjustaRTFImpresora(documento, impresora, izquierdo, derecho);
    const Rectangulos r = RectangulosDeImpresion(d, izquierdo, superior, derecho, inferior);
    const QRectF dibujo(Pixeles(r.dibujo.left(), rx), Pixeles(r.dibujo.top(), ry), Pixeles(r.dibujo.width(), rx),
                        Pixeles(r.dibujo.height(), ry));
    documento.documentLayout()->documentSize();  // the whole text laid out before the pages are cut
    QPainter pintor;
    if (!pintor.begin(&impresora)) return 0;

    // The top of the line holding a character, and the first character of the first line that does
    // not fit below a given height.
    auto lineaDe = [&](int caracter, QTextBlock* bloque, int* linea) {
        *bloque = documento.findBlock(caracter);
        const QTextLayout* l = bloque->layout();
        *linea = l->lineForTextPosition(caracter - bloque->position()).lineNumber();
    };
    auto topeDe = [&](const QTextBlock& b, int linea) {
        return documento.documentLayout()->blockBoundingRect(b).top() + b.layout()->lineAt(linea).y();
    };
    const int largo = documento.characterCount() - 1;
    auto dibuja = [&](int desde) {
        if (largo <= 0) return 0;
        QTextBlock bloque;
        int linea = 0;
        lineaDe(desde, &bloque, &linea);
        const double y0 = topeDe(bloque, linea);
        int siguiente = largo;
        // Whole lines, from the starting one, while they fit in the drawing rectangle.
        for (QTextBlock b = bloque; b.isValid(); b = b.next(), linea = 0) {
            const QTextLayout* l = b.layout();
            bool lleno = false;
            for (int i = linea; i < l->lineCount(); ++i) {
                const QTextLine ln = l->lineAt(i);
                const double fondo = topeDe(b, i) + ln.height();
                if (fondo - y0 > dibujo.height()) {
                    siguiente = b.position() + ln.textStart();
                    lleno = true;
                    break;
                }
            }
            if (lleno) break;
        }
        // A range cut by the page's foot starts the next page when it fits on one.
        for (const auto& [a, b] : juntos) {
            if (!(a > desde && a < siguiente && siguiente < b && b <= largo)) continue;
            QTextBlock ba, bb;
            int la = 0, lb = 0;
            lineaDe(a, &ba, &la);
            lineaDe(b - 1, &bb, &lb);
            if (topeDe(bb, lb) + bb.layout()->lineAt(lb).height() - topeDe(ba, la) <= dibujo.height()) siguiente = a;
            break;
        }
        // Only the lines that fit are drawn: a clipped line would still be in the page's text.
        pintor.save();
        pintor.translate(dibujo.left(), dibujo.top() - y0);
        for (QTextBlock b = bloque; b.isValid() && b.position() < siguiente; b = b.next()) {
            const QTextLayout* l = b.layout();
            const QPointF origen = documento.documentLayout()->blockBoundingRect(b).topLeft();
            for (int i = 0; i < l->lineCount(); ++i) {
                const QTextLine ln = l->lineAt(i);
                const int inicio = b.position() + ln.textStart();
                if (inicio >= siguiente) break;
                if (inicio + ln.textLength() <= desde && ln.textLength() > 0) continue;
                ln.draw(&pintor, origen);
            }
        }
        pintor.restore();
        return siguiente;
    };
    const int paginas = RecorrePaginas(largo, dibuja, [&] { impresora.newPage(); });
    pintor.end();
    return paginas;
}

}  // namespace lorum
