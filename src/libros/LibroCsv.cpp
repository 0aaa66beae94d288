// Comma-separated text as a workbook of one sheet, "Hoja1".

#include "Libro.h"

#include <QStringDecoder>

namespace lorum {

namespace {

QString Decodifica(const QByteArray& datos) {
    QByteArrayView v(datos);
    if (v.startsWith("\xEF\xBB\xBF")) v = v.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString t = utf8.decode(v);
    if (!utf8.hasError()) return t;
    // Not UTF-8: what spreadsheets on Windows write.
    QStringDecoder w("windows-1252");
    if (!w.isValid()) return QString::fromLatin1(v);
    return w.decode(v);
}

// The separator that the heading row uses most, outside quotes: ";", tab or ",".
QChar Separador(const QString& t) {
    int coma = 0, puntoYComa = 0, tab = 0;
    bool comillas = false;
    for (QChar c : t) {
        if (c == u'"') comillas = !comillas;
        else if (comillas) continue;
        else if (c == u'\n' || c == u'\r') break;
        else if (c == u',') ++coma;
        else if (c == u';') ++puntoYComa;
        else if (c == u'\t') ++tab;
    }
    if (puntoYComa > coma && puntoYComa >= tab) return u';';
    if (tab > coma && tab > puntoYComa) return u'\t';
    return u',';
}

// A field as a spreadsheet opening the file would take it: a plain decimal number is a number,
// unless it starts with a zero that a number would lose ("01011001" stays a text). Where ";"
// separates the fields, as spreadsheets in Spanish write them, the decimal mark may be a comma.
Celda CeldaDe(const QString& campo, QChar sep) {
    QString t = campo.trimmed();
    if (sep == u';' && t.count(u',') == 1 && !t.contains(u'.')) t.replace(u',', u'.');
    qsizetype i = (t.startsWith(u'-') || t.startsWith(u'+')) ? 1 : 0;
    const qsizetype digitos = i;
    while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128) ++i;
    bool numero = i > digitos && !(t[digitos] == u'0' && i - digitos > 1);
    if (numero && i < t.size() && t[i] == u'.') {
        const qsizetype punto = ++i;
        while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128) ++i;
        numero = i > punto;
    }
    if (numero && i == t.size()) return Celda::DeNumero(t.toDouble());
    return Celda::DeTexto(campo);
}

}  // namespace

Libro LeeCsv(const QByteArray& datos, const LimitesLibro& limites) {
    const QString t = Decodifica(datos);
    const QChar sep = Separador(t);
    Libro libro;
    libro.formato = FormatoLibro::Csv;
    Hoja h;
    h.nombre = QStringLiteral("Hoja1");
    h.limite = limites.filas;
    int fila = 1, col = 0;
    QString campo;
    bool citado = false;
    auto cierra = [&] {
        if (col < Hoja::kColumnas && !campo.isEmpty()) h.pon(fila, col, citado ? Celda::DeTexto(campo) : CeldaDe(campo, sep));
        campo.clear();
        citado = false;
        ++col;
    };
    const qsizetype n = t.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = t[i];
        if (c == u'"' && campo.isEmpty() && !citado) {
            // A quoted field: up to the lone quote that closes it, across separators and lines.
            citado = true;
            const int empieza = fila;
            for (++i;; ++i) {
                if (i >= n)
                    throw ErrorLibro(QStringLiteral("está dañado: las comillas abiertas en la fila %1 no se cierran.").arg(empieza));
                if (t[i] == u'"') {
                    if (i + 1 < n && t[i + 1] == u'"') {
                        if (col < Hoja::kColumnas) campo += u'"';
                        ++i;
                        continue;
                    }
                    break;
                }
                if (col < Hoja::kColumnas) campo += t[i];
            }
        } else if (c == sep) {
            cierra();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < n && t[i + 1] == u'\n') ++i;
            cierra();
            if (++fila > Hoja::kUltimaFila) break;
            col = 0;
        } else if (col < Hoja::kColumnas) {
            campo += c;
        }
    }
    if (!campo.isEmpty() || col > 0) cierra();
    libro.hojas.push_back(std::move(h));
    return libro;
}

}  // namespace lorum
