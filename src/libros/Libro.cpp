#include "Libro.h"

#include <QDate>
#include <cmath>

namespace lorum {

Celda Celda::DeFecha(double serie) {
    Celda c{Tipo::Fecha, false, serie, {}};
    // Serial 60 is the 29th of February 1900 that spreadsheets count and the calendar does not.
    const double dias = std::floor(serie);
    if (std::isfinite(dias) && dias >= 0 && dias < 2958466) {
        const QDate d = QDate(1899, 12, 31).addDays(qint64(dias) - (dias >= 60 ? 1 : 0));
        c.texto = d.toString(QStringLiteral("dd/MM/yyyy"));
    }
    return c;
}

const Celda& Hoja::celda(int fila, int columna) const {
    static const Celda vacia;
    if (columna < 0 || columna >= kColumnas) return vacia;
    const auto it = filas.find(fila);
    return it == filas.end() ? vacia : it->second[size_t(columna)];
}

bool Hoja::TerminaAntesDe(int fila) {
    while (!terminada && revisada_ + 1 < fila) {
        const int r = revisada_ + 1;
        if (celda(r, 0).enBlanco()) terminada = true;
        else revisada_ = r;
    }
    return terminada;
}

Celda* Hoja::pon(int fila, int columna, Celda c) {
    if (columna < 0 || columna >= kColumnas || fila < 1 || fila > kUltimaFila || c.tipo == Celda::Tipo::Vacia) return nullptr;
    if (TerminaAntesDe(fila)) return nullptr;
    auto it = filas.find(fila);
    if (it == filas.end()) {
        if (int(filas.size()) >= limite)
            throw ErrorLibro(QStringLiteral("la hoja «%1» tiene más de %2 filas con datos.").arg(nombre).arg(limite));
        it = filas.emplace(fila, Fila{}).first;
    }
    Celda& puesta = it->second[size_t(columna)];
    puesta = std::move(c);
    return &puesta;
}

const Hoja* Libro::hoja(const QString& nombre) const {
    for (const Hoja& h : hojas)
        if (h.nombre.compare(nombre, Qt::CaseInsensitive) == 0) return &h;
    return nullptr;
}

// Whether a number format shows a date or a time: the built-in ones that do, or a format whose
// text, outside quotes, escapes and brackets, has a day, month, year, hour or second.
bool EsFormatoDeFecha(int indice, const QString& texto) {
    if ((indice >= 14 && indice <= 22) || (indice >= 27 && indice <= 36) || (indice >= 45 && indice <= 47) ||
        (indice >= 50 && indice <= 58))
        return true;
    bool comillas = false;
    int corchetes = 0;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto[i].toLower();
        if (comillas) {
            comillas = c != u'"';
        } else if (c == u'"') {
            comillas = true;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            ++corchetes;
        } else if (c == u']') {
            corchetes = std::max(0, corchetes - 1);
        } else if (c == u'g' && texto.mid(i, 7).compare(QLatin1String("general"), Qt::CaseInsensitive) == 0) {
            i += 6;
        } else if (corchetes == 0 && (c == u'd' || c == u'm' || c == u'y' || c == u'h' || c == u's')) {
            return true;
        }
    }
    return false;
}

QString NombreColumna(int columna) {
    QString n;
    for (int c = columna + 1; c > 0; c = (c - 1) / 26) n.prepend(QChar(u'A' + (c - 1) % 26));
    return n;
}

namespace {

bool EsCompuesto(const QByteArray& d) { return d.startsWith(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)); }
bool EsZip(const QByteArray& d) { return d.startsWith("PK\x03\x04") || d.startsWith("PK\x05\x06"); }

}  // namespace

bool EsLibroBinario(const QByteArray& d) {
    return EsCompuesto(d) || EsZip(d) || (d.size() >= 4 && quint8(d[0]) == 0x09 && d[3] == 0 && quint8(d[1]) <= 8);
}

Libro LeeLibro(const QByteArray& datos, const LimitesLibro& limites) {
    if (EsCompuesto(datos)) return LeeBiff(datos, limites);
    if (EsZip(datos)) return LeeZip(datos, limites);
    // A workbook stream without its container (as some programs write Excel 5.0) starts with a BOF
    // record, as do the workbooks of Excel 2.x to 4.x.
    const quint8 v = datos.size() >= 4 ? quint8(datos[1]) : 0xFF;
    const bool bof = datos.size() >= 4 && quint8(datos[0]) == 0x09 && datos[3] == 0;
    if (bof && v == 8) return LeeBiff(datos, limites);
    if (bof && (v == 0 || v == 2 || v == 4))
        throw ErrorLibro(QStringLiteral("es un libro de una versión de Excel anterior a la 5.0; guárdelo como Excel 97-2003 (.xls)."));
    return LeeCsv(datos, limites);
}

}  // namespace lorum
