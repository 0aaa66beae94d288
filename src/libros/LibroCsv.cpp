// Comma-separated text as a workbook of one sheet, "Hoja1".

#include "Libro.h"
#include "PaginaCodigos.h"

#include <QStringDecoder>
#include <cmath>
#include <optional>

namespace lorum {

namespace {

QString Decodifica(const QByteArray& datos) {
    QByteArrayView v(datos);
    if (v.startsWith("\xEF\xBB\xBF")) v = v.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString t = utf8.decode(v);
    if (!utf8.hasError()) return t;
    // Not UTF-8: what spreadsheets on Windows write.
    if (std::optional<QString> w = DecodificaPaginaWindows(1252, v)) return *std::move(w);
    return QString::fromLatin1(v);
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

// A field read as a number whose decimal mark is `decimal` and whose thousands are grouped by
// `grupo`: "1.234.567,5" with a comma for decimals. No leading zero a number would lose
// ("01011001" is a text); groups of exactly three digits. Nothing when it is not such a number.
std::optional<double> ComoNumero(QStringView t, QChar decimal, QChar grupo) {
    QString c;
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) c += t[i++];
    auto digito = [&](qsizetype k) { return k < t.size() && t[k].unicode() >= u'0' && t[k].unicode() <= u'9'; };
    const qsizetype inicio = i;
    while (digito(i)) c += t[i++];
    const qsizetype enteros = i - inicio;
    if (enteros == 0 || (t[inicio] == u'0' && enteros > 1)) return std::nullopt;
    if (i < t.size() && t[i] == grupo) {
        if (enteros > 3 || t[inicio] == u'0') return std::nullopt;
        while (i < t.size() && t[i] == grupo) {
            for (int k = 1; k <= 3; ++k)
                if (!digito(i + k)) return std::nullopt;
            c += t.mid(i + 1, 3);
            i += 4;
            if (digito(i)) return std::nullopt;
        }
    }
    if (i < t.size() && t[i] == decimal) {
        c += u'.';
        const qsizetype desde = ++i;
        while (digito(i)) c += t[i++];
        if (i == desde) return std::nullopt;
    }
    if (i != t.size()) return std::nullopt;
    bool ok = false;
    const double d = c.toDouble(&ok);
    return ok && std::isfinite(d) ? std::optional(d) : std::nullopt;
}

// How the file writes its numbers: with "," between fields the decimal mark is the dot; with ";" or a
// tab (as spreadsheets in Spanish write them) it is the comma or the dot, as the numbers themselves
// show. `Ninguna` when they do not settle it (only "1.500"s and whole numbers) or contradict
// each other: then a number that reads two ways ("1.500") is undecided.
enum class Marca { Ninguna, Coma, Punto };

struct Lecturas {
    std::optional<double> coma, punto;  // read with a decimal comma, with a decimal point
};

Lecturas LecturasDe(const QString& texto) {
    const QString t = texto.trimmed();
    return {ComoNumero(t, u',', u'.'), ComoNumero(t, u'.', u',')};
}

// Turns the texts of the sheet that are numbers into numbers, each read one way only.
void LeeNumeros(Hoja& h, QChar sep) {
    Marca marca = Marca::Punto;
    if (sep != u',') {
        // Evidence comes from the columns the import reads as numbers (item, unit key, quantity,
        // value) below the headings: a description such as "3.10" says nothing of the file's numbers.
        bool coma = false, punto = false;
        for (const auto& [fila, celdas] : h.filas) {
            if (fila == 1) continue;
            for (int col : {0, 3, 4, 5}) {
                const Celda& c = celdas[size_t(col)];
                if (c.tipo != Celda::Tipo::Texto) continue;
                const Lecturas l = LecturasDe(c.texto);
                coma = coma || (l.coma && !l.punto);
                punto = punto || (l.punto && !l.coma);
            }
        }
        marca = coma == punto ? Marca::Ninguna : coma ? Marca::Coma : Marca::Punto;
    }
    for (auto& [fila, celdas] : h.filas) {
        for (Celda& c : celdas) {
            if (c.tipo != Celda::Tipo::Texto) continue;
            const Lecturas l = LecturasDe(c.texto);
            std::optional<double> n;
            if (marca == Marca::Coma) n = l.coma;
            else if (marca == Marca::Punto) n = l.punto;
            else if (l.coma && l.punto) n = *l.coma == *l.punto ? l.coma : std::nullopt;
            else n = l.coma ? l.coma : l.punto;  // a number that reads one way only
            c.dudoso = !n && l.coma && l.punto;
            if (n) {
                c.tipo = Celda::Tipo::Numero;
                c.numero = *n;
                c.texto = c.texto.trimmed();  // as written, for the text columns
            }
        }
    }
}

}  // namespace

Libro LeeCsv(const QByteArray& datos, const LimitesLibro& limites) {
    // Text in UTF-16 (what "Unicode text" saves) would read as garbage: said, not guessed.
    if (datos.startsWith("\xFF\xFE") || datos.startsWith("\xFE\xFF") || datos.left(4096).contains('\0'))
        throw ErrorLibro(QStringLiteral("es texto en UTF-16 («Texto Unicode»), que el programa no lee; guárdelo como "
                                        "«CSV UTF-8», como CSV de Windows o como libro de Excel (.xlsx)."));
    const QString t = Decodifica(datos);
    const QChar sep = Separador(t);
    Libro libro;
    libro.formato = FormatoLibro::Csv;
    libro.nombres << kHojaDeMercancias;
    Hoja h;
    h.nombre = kHojaDeMercancias;
    h.limite = limites.filas;
    int fila = 1, col = 0;
    QString campo;
    auto cierra = [&] {
        if (col < Hoja::kColumnas && !campo.isEmpty()) h.pon(fila, col, Celda::DeTexto(campo));
        campo.clear();
        ++col;
    };
    const qsizetype n = t.size();
    for (qsizetype i = 0; i < n; ++i) {
        // Nothing after the list is read: a note below it may be anything.
        if (col == 0 && campo.isEmpty() && h.TerminaAntesDe(fila)) break;
        const QChar c = t[i];
        if (c == u'"' && campo.isEmpty()) {
            // A quoted field: up to the lone quote that closes it, across separators and lines.
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
    LeeNumeros(h, sep);
    libro.hojas.push_back(std::move(h));
    return libro;
}

}  // namespace lorum
