#include "FormaImpresa.h"

#include "Numeros.h"
#include "OrigenDatos.h"

#include <QLocale>
#include <optional>

namespace lorum {

namespace {

const QString LF = QStringLiteral("\n");
const QString CR = QStringLiteral("\r");
const QString VT = QStringLiteral("\v");
const QString kFox = QStringLiteral("FoxPro 2.5;");

QString Texto(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return {};
    return v.typeId() == QMetaType::Double ? TextoDeNumero(v.toDouble()) : v.toString();
}
bool Nulo(const QVariant& v) { return !v.isValid() || v.isNull(); }

// A value followed by blanks up to a column's width; nothing when absent or wider than the column.
std::optional<QString> Relleno(const QVariant& v, int ancho) {
    const QString t = Texto(v);
    if (Nulo(v) || t.size() > ancho) return std::nullopt;
    return t + QString(ancho - t.size(), u' ');
}

}  // namespace

FormaImpresa FormateaInf(const QString& datos, const TextosDeForma& t, const QDate& hoy) {
    FormaImpresa f;
    f.encabezado = QStringLiteral("SECRETARIA DE TALVEROS") + CR + QStringLiteral("PERMISOS DE IMPORTACION Y EXPORTACION") + LF + CR +
                   QStringLiteral("DATOS GENERALES");
    QString& s = f.texto;
    Cursor e = AbreCursor(datos, kFox, QStringLiteral("empresas"));
    Cursor l = AbreCursor(datos, kFox, QStringLiteral("lorums"));
    const bool hayEmpresa = !e.Eof();
    const bool haySolicitud = !l.Eof();
    auto E = [&](int i) { return Texto(e.Valor(i)); };
    auto L = [&](int i) { return haySolicitud ? l.Valor(i) : QVariant(); };

    if (hayEmpresa) {
        s = f.encabezado + LF + QStringLiteral("Tramite:   ") + t.tramite + LF + LF + QStringLiteral("Regimen Aduanal:   ") + t.regimen +
            LF + LF + QStringLiteral("Destino de las mercancias en el pais:   ") + t.destino + LF + LF + QStringLiteral("RFC: ") + E(0) +
            LF + LF + QStringLiteral("Nombre o Razón Social solicitante: ") + E(1) + u' ' + E(2) + u' ' + E(3) + LF + LF + LF +
            QStringLiteral("DOMICILIO DEL NOMBRE O RAZON SOCIAL SOLICITANTE:   ") + LF + LF + QStringLiteral("CALLE Y NUMERO:     ") + E(4) +
            LF + QStringLiteral("COLONIA:    ") + E(8) + LF + QStringLiteral("C.P.   ") + E(5) + LF + QStringLiteral("DEL/MUN  ") + E(9) +
            LF + QStringLiteral("ESTADO:   ") + t.estado + LF + QStringLiteral("TELEFONO:   ") + E(10) + LF + QStringLiteral("FAX   ") + E(11) +
            LF + LF + E(23) + LF + VT;
    }
    s += QStringLiteral("Descripción de las mercancias:   ") + LF;
    if (hayEmpresa && !Nulo(e.Valor(29))) s += E(29) + LF + VT;

    if (haySolicitud) {
        if (!Nulo(L(23)))
            s += LF + QStringLiteral("Valor en Dolares:   ") + Texto(L(23)) + QString(6, u' ') + QStringLiteral("Unidad de Medida: ") + t.unidad +
                 QString(6, u' ') + QStringLiteral("Cantidad:   ") + Texto(L(22)) + LF + VT;
        s += QStringLiteral("Fracción Arancelaria: ") + t.fraccion + LF;
        if (!Nulo(L(4))) s += QStringLiteral("Usado: ") + (Texto(L(4)) != QLatin1String("N") ? QStringLiteral("SI") + LF : QStringLiteral("NO") + LF + LF);
    }

    Cursor m = AbreCursor(datos, QStringLiteral("FoxPro 2.6;"), QStringLiteral("mercanci"));
    if (!m.Eof()) {
        s += LF + QStringLiteral("PARTIDAS DE MERCANCIAS A IMPORTAR O EXPORTAR") + LF;
        for (; !m.Eof(); m.MoveNext()) {
            if (Nulo(m.Valor(1)) && Nulo(m.Valor(4)) && Nulo(m.Valor(5)) && Nulo(m.Valor(6))) {
                f.avisos << QStringLiteral("La informacion en Mercancias no esta completa");
                continue;
            }
            const auto partida = Relleno(m.Valor(1), 11), cantidad = Relleno(m.Valor(7), 16), unidad = Relleno(m.Valor(6), 16),
                       precio = Relleno(m.Valor(8), 13);
            if (!partida || !cantidad || !unidad || !precio) {
                f.completa = false;
                return f;
            }
            const int inicio = int(s.size());
            s += QStringLiteral("Partida    Cantidad        Unidad de      Fracción Arancelaria  ") + LF +
                 QStringLiteral("                           Medida                               ") + LF + *partida + *cantidad + *unidad +
                 Texto(m.Valor(3)) + LF + QStringLiteral("Descripcion") + LF + Texto(m.Valor(4)) + LF + QStringLiteral("Precio       Total") +
                 LF + QStringLiteral("Unitario") + LF + *precio + Texto(m.Valor(9)) + LF + LF;
            f.bloques.emplace_back(inicio, int(s.size()) - 1);  // the blank line after it may go to the next page
        }
    }

    Cursor p = AbreCursor(datos, kFox, QStringLiteral("lorumpai"));
    if (!p.Eof()) {
        s += LF + QStringLiteral("Pais(es:)") + LF;
        for (; !p.Eof(); p.MoveNext())
            if (!Nulo(p.Valor(2))) s += Texto(p.Valor(2)) + LF;
    }

    if (haySolicitud) {
        s += LF + QStringLiteral("ACTIVIDAD O GIRO PRINCIPAL DEL SOLICITANTE: ") + LF;
        if (!Nulo(L(10))) s += Texto(L(10)) + LF;
        s += QStringLiteral("USO ESPECIFICO DE LA MERCANCIA: ") + LF;
        if (!Nulo(L(11))) s += Texto(L(11)) + LF;
        s += QStringLiteral("Justificación de la importación o exportación y el beneficio que se obtiene:   ") + LF;
        if (!Nulo(L(13))) s += Texto(L(13)) + LF + VT;
    }

    s += QStringLiteral("ANEXOS PARA IDENTIFICAR LA MERCANCIA: ") + LF;
    auto esN = [&](int i) { return !Nulo(L(i)) && Texto(L(i)) == QLatin1String("N"); };
    if (esN(14) && esN(15) && esN(16) && esN(17)) {
        s += QStringLiteral("NINGUNO") + LF;
    } else {
        auto siNo = [&](int i) { return Texto(L(i)) != QLatin1String("N"); };
        if (!Nulo(L(14))) s += (siNo(14) ? QStringLiteral("Catalogo: SI ") : QStringLiteral("Catalogo: NO ")) + LF;
        if (!Nulo(L(15))) s += (siNo(15) ? QStringLiteral("Fotografia: SI") : QStringLiteral("Fotografia: NO")) + LF;
        if (!Nulo(L(16))) s += (siNo(16) ? QStringLiteral("Plano: SI") : QStringLiteral("Plano: NO")) + LF;
        if (!Nulo(L(17)) && !Nulo(L(18))) s += QStringLiteral("Otro: ") + (siNo(17) ? Texto(L(18)) : QStringLiteral("NO")) + LF;
    }

    // The month in Spanish, as the program's users read it.
    s += LF + QStringLiteral("FECHA %1 DE %2 DE %3.").arg(hoy.day()).arg(QLocale(QLocale::Spanish).monthName(hoy.month())).arg(hoy.year()) +
         LF + LF;

    if (hayEmpresa)
        s += QStringLiteral("DATOS DEL REPRESENTANTE LEGAL") + LF + LF + QStringLiteral("NOMBRE:    ") + E(14) + u' ' + E(15) + u' ' + E(16) +
             u'.' + LF + QStringLiteral("Cargo:     ") + E(18) + LF + QStringLiteral("Telefono:  ") + E(17) + LF + LF + LF +
             QStringLiteral("FIRMA________________________________") + LF;
    return f;
}

}  // namespace lorum
