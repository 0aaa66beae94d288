#include "Importacion.h"

#include "ErrorTabla.h"
#include "Numeros.h"

#include <QDir>
#include <map>
#include <optional>

namespace lorum {

namespace {

constexpr int kFaltasMostradas = 10;
const QString kLibro = QStringLiteral("mercancia.xls");

QString TextoDe(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return {};
    return v.typeId() == QMetaType::Double ? TextoDeNumero(v.toDouble()) : v.toString().trimmed();
}

// A cell as a number: empty is 0; a text must be a number; nothing otherwise.
std::optional<double> NumeroDe(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return 0.0;
    if (v.typeId() == QMetaType::Double) return v.toDouble();
    const QString t = v.toString().trimmed();
    if (t.isEmpty()) return 0.0;
    bool ok = false;
    const double d = t.toDouble(&ok);
    return ok ? std::optional(d) : std::nullopt;
}

// A field of the new item, with the cell it comes from (for the fault's message).
struct Dato {
    const char16_t* campo;
    QVariant valor;
    const char* columna;
    QVariant celda;
};

struct Fila {
    int numero;  // as the spreadsheet numbers it
    std::vector<Dato> campos;
    double cantidad = 0;
    double valor = 0;
};

}  // namespace

ResultadoImportacion ImportaMercancias(OrigenDatos& libro, Cursor& mercanci, const QString& datos) {
    ResultadoImportacion r;
    QStringList faltas;
    std::vector<Fila> filas;
    std::map<qint64, std::optional<QString>> unidades;  // each key looked up once
    try {
        libro.Conecta(QDir(datos).filePath(kLibro), QStringLiteral("Excel 5.0;"), QStringLiteral("Hoja1$"));
        libro.Refresca();
        HojaExcel& hoja = libro.Hoja();
        Cursor ensayo = mercanci.Clone();
        for (hoja.MoveFirst(); !hoja.Eof(); hoja.MoveNext()) {
            if (TextoDe(hoja.Valor(0)).isEmpty()) break;  // an empty item number ends the sheet
            Fila f{hoja.FilaDeHoja(), {}, 0, 0};
            auto falta = [&](const char* columna, const QVariant& valor, const QString& que) {
                faltas << QStringLiteral("fila %1, columna %2 («%3»): %4").arg(f.numero).arg(QLatin1String(columna), TextoDe(valor), que);
            };
            const QVariant a = hoja.Valor(0), b = hoja.Valor(1), c = hoja.Valor(2), d = hoja.Valor(3), e = hoja.Valor(4),
                           v = hoja.Valor(5);
            const auto partida = NumeroDe(a), clave = NumeroDe(d), cantidad = NumeroDe(e), valor = NumeroDe(v);
            if (!partida) falta("A", a, QStringLiteral("el número de partida no es un número"));
            if (!clave) falta("D", d, QStringLiteral("la clave de unidad no es un número"));
            if (!cantidad) falta("E", e, QStringLiteral("la cantidad no es un número"));
            if (!valor) falta("F", v, QStringLiteral("el valor no es un número"));
            // A fraction typed as a number lost its leading zeros in the spreadsheet: they are put back.
            QString fraccion = TextoDe(b);
            if (b.typeId() == QMetaType::Double && fraccion.size() < 8) fraccion = fraccion.rightJustified(8, u'0');
            f.campos = {{u"idmerc", 0, "", {}}, {u"partida", partida.value_or(0), "A", a}, {u"fraccion", fraccion, "B", b},
                        {u"descrip", TextoDe(c), "C", c}, {u"idum", 0, "", {}}};
            if (clave && *clave != 0) {
                const qint64 llave = qint64(*clave);
                auto it = unidades.find(llave);
                if (it == unidades.end()) {
                    Cursor um = AbreCursor(datos, QStringLiteral("dBASE III;"),
                                           QStringLiteral("Select U_medida from catum where cve_med = ") + TextoDeNumero(*clave));
                    it = unidades.emplace(llave, um.Eof() ? std::nullopt : std::optional(um.Valor(0).toString())).first;
                }
                if (it->second) f.campos.push_back({u"unidadmed", *it->second, "D", d});
                else falta("D", d, QStringLiteral("la unidad no está en el catálogo de unidades"));
            }
            f.cantidad = cantidad && *cantidad != 0 ? CortaNumero(*cantidad, 15) : 0;
            f.valor = valor && *valor != 0 ? CortaNumero(*valor, 15) : 0;
            f.campos.push_back({u"totalpart", f.valor, "F", v});
            f.campos.push_back({u"cantidad", f.cantidad, "E", e});
            // The unit price, as the item grid computes it: Total / Cantidad.
            if (f.cantidad > 0) f.campos.push_back({u"precio", CortaNumero(f.valor / f.cantidad, 12), "F", v});
            // Every value is tried on a scratch record: what does not fit is a fault of the sheet.
            ensayo.AddNew();
            for (const Dato& dato : f.campos) {
                try {
                    ensayo.SetValor(QStringView(dato.campo), dato.valor);
                } catch (const ErrorTabla& error) {
                    if (error.motivo().isEmpty()) throw;
                    falta(dato.columna, dato.celda, error.motivo());
                }
            }
            ensayo.CancelUpdate();
            filas.push_back(std::move(f));
        }
    } catch (const ErrorTabla& e) {
        libro.Desliga();
        r.mensaje = e.mensaje() + QStringLiteral("\nNo se importó ninguna partida.");
        return r;
    }
    libro.Desliga();
    if (!faltas.isEmpty()) {
        r.mensaje = QStringLiteral("No se importó ninguna partida de «%1»: corrija la hoja «Hoja1» e intente de nuevo.\n").arg(kLibro) +
                    faltas.mid(0, kFaltasMostradas).join(u'\n');
        if (faltas.size() > kFaltasMostradas) r.mensaje += QStringLiteral("\n… y %1 más.").arg(faltas.size() - kFaltasMostradas);
        return r;
    }
    // Appended as one step: the records first, then the header's count, so a reader (or a start
    // after a kill) sees all of the sheet's items or none of them.
    try {
        std::vector<QByteArray> registros;
        registros.reserve(filas.size());
        for (const Fila& f : filas) {
            mercanci.AddNew();
            for (const Dato& dato : f.campos) mercanci.SetValor(QStringView(dato.campo), dato.valor);
            registros.push_back(mercanci.Pendiente());
        }
        mercanci.AgregaVarios(registros);
    } catch (const ErrorTabla& e) {
        mercanci.CancelUpdate();
        r.mensaje = e.mensaje() + QStringLiteral("\nNo se importó ninguna partida.");
        return r;
    }
    // The form's running totals, through their text as the boxes hold them, each cut to 15 characters.
    for (const Fila& f : filas) {
        r.totalCantidad = TextoDeNumero(NumeroDeTexto(r.totalCantidad) + f.cantidad).left(15);
        r.totalValor = TextoDeNumero(NumeroDeTexto(r.totalValor) + f.valor).left(15);
    }
    r.agregadas = int(filas.size());
    r.ok = true;
    return r;
}

}  // namespace lorum
