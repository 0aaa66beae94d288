#include "Consulta.h"

#include "ErrorTabla.h"
#include "TablaDbf.h"

#include <QRegularExpression>

namespace lorum {

namespace {

[[noreturn]] void noEntiende(const QString& texto) {
    throw ErrorTabla(QStringLiteral("No se entiende la consulta «%1».").arg(texto));
}

}  // namespace

Criterio AnalizaCriterio(const QString& texto) {
    static const QRegularExpression forma(QStringLiteral(R"(^\s*\[?([A-Za-z_][A-Za-z0-9_]*)\]?\s*(=|like\b)\s*(.*?)\s*$)"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    const auto m = forma.match(texto);
    if (!m.hasMatch()) noEntiende(texto);
    Criterio c;
    c.campo = m.captured(1);
    c.operador = m.captured(2) == QLatin1String("=") ? Criterio::Operador::Igual : Criterio::Operador::Como;
    QString valor = m.captured(3);
    if (!valor.isEmpty() && (valor.front() == u'\'' || valor.front() == u'"')) {
        if (valor.size() < 2 || valor.back() != valor.front()) noEntiende(texto);
        c.valor = valor.mid(1, valor.size() - 2);
        c.citado = true;
    } else {
        if (valor.isEmpty()) noEntiende(texto);
        c.valor = valor;
    }
    if (c.operador == Criterio::Operador::Como && !c.citado) noEntiende(texto);
    return c;
}

// The word at `en` of `t`, whole: blanks or the ends on both sides.
static bool PalabraEn(const QString& t, qsizetype en, QLatin1String palabra) {
    return en > 0 && t[en - 1].isSpace() && en + palabra.size() < t.size() &&
           t[en + palabra.size()].isSpace() &&
           QStringView(t).mid(en, palabra.size()).compare(palabra, Qt::CaseInsensitive) == 0;
}

// "select <columns> from <table> [where <criterion>] [;]", read by hand: the start opens a source of
// this form and a regular expression would be compiled for it.
Consulta AnalizaFuente(const QString& fuente) {
    Consulta consulta;
    QString t = fuente.trimmed();
    if (!t.startsWith(QLatin1String("select"), Qt::CaseInsensitive) || (t.size() > 6 && !t[6].isSpace())) {
        if (t.isEmpty()) noEntiende(fuente);
        consulta.tabla = t;
        return consulta;
    }
    if (t.endsWith(u';')) t = t.chopped(1).trimmed();
    qsizetype de = 7;
    while (de < t.size() && !PalabraEn(t, de, QLatin1String("from"))) ++de;
    const QString lista = t.mid(6, de - 6).trimmed();
    if (de >= t.size() || lista.isEmpty()) noEntiende(fuente);
    qsizetype i = de + 4;
    while (i < t.size() && t[i].isSpace()) ++i;
    if (i < t.size() && t[i] == u'[') ++i;
    const qsizetype inicio = i;
    while (i < t.size() && !t[i].isSpace() && t[i] != u']') ++i;
    consulta.tabla = t.mid(inicio, i - inicio);
    if (consulta.tabla.isEmpty()) noEntiende(fuente);
    if (i < t.size() && t[i] == u']') ++i;
    if (i < t.size()) {
        qsizetype w = i;
        while (w < t.size() && t[w].isSpace()) ++w;
        if (w == i || !PalabraEn(t, w, QLatin1String("where"))) noEntiende(fuente);
        const QString criterio = t.mid(w + 5).trimmed();
        if (criterio.isEmpty()) noEntiende(fuente);
        consulta.donde = AnalizaCriterio(criterio);
    }
    if (lista != QLatin1String("*")) {
        for (const QString& columna : lista.split(u',')) {
            const QString nombre = columna.trimmed();
            if (nombre.isEmpty()) noEntiende(fuente);
            consulta.columnas.push_back(nombre);
        }
    }
    return consulta;
}

Filtro::Filtro(const TablaDbf& tabla, const Criterio& criterio)
    : campo_(tabla.IndiceCampo(criterio.campo)), operador_(criterio.operador), texto_(criterio.valor) {
    if (campo_ < 0)
        throw ErrorTabla(QStringLiteral("Tabla «%1»: no tiene el campo «%2».").arg(tabla.nombre(), criterio.campo));
    while (texto_.endsWith(u' ')) texto_.chop(1);
    const char tipo = tabla.campos()[size_t(campo_)].tipo;
    if (operador_ == Criterio::Operador::Igual && (tipo == 'N' || tipo == 'F')) {
        bool ok = false;
        const double v = criterio.valor.trimmed().toDouble(&ok);
        if (ok) numero_ = v;  // a value that is no number matches no record
    }
}

bool Filtro::Cumple(const TablaDbf& tabla, const char* registro) const {
    const Campo& campo = tabla.campos()[size_t(campo_)];
    const QVariant v = TablaDbf::ValorDe(registro, campo, tabla.pagina());
    if (!v.isValid()) return false;
    if (operador_ == Criterio::Operador::Como) return CoincideComo(v.toString(), texto_);
    if (campo.tipo == 'N' || campo.tipo == 'F') return numero_ && v.toDouble() == *numero_;
    QString texto = v.typeId() == QMetaType::QDate ? v.toDate().toString(QStringLiteral("yyyyMMdd")) : v.toString();
    while (texto.endsWith(u' ')) texto.chop(1);
    return texto.compare(texto_, Qt::CaseInsensitive) == 0;
}

bool CoincideComo(QStringView texto, QStringView patron) {
    // Iterative match with one back-track point for the last *, linear in practice.
    qsizetype t = 0, p = 0, estrella = -1, marca = 0;
    auto igual = [](QChar a, QChar b) { return a.toCaseFolded() == b.toCaseFolded(); };
    while (t < texto.size()) {
        if (p < patron.size() && patron[p] == u'*') {
            estrella = p++;
            marca = t;
        } else if (p < patron.size() &&
                   (patron[p] == u'?' || (patron[p] == u'#' ? texto[t].isDigit() : igual(patron[p], texto[t])))) {
            ++p;
            ++t;
        } else if (estrella >= 0) {
            p = estrella + 1;
            t = ++marca;
        } else {
            return false;
        }
    }
    while (p < patron.size() && patron[p] == u'*') ++p;
    return p == patron.size();
}

}  // namespace lorum
