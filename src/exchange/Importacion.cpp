#include "Importacion.h"

#include "ErrorTabla.h"
#include "Numeros.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <map>
#include <optional>

namespace lorum {

namespace {

constexpr int kFaltasMostradas = 10;
// A cell's text: a number read from text keeps it as written ("3.10", "2,50").
QString TextoDe(const Celda& c) {
    switch (c.tipo) {
        case Celda::Tipo::Numero: return c.texto.isEmpty() ? TextoDeNumero(c.numero) : c.texto;
        case Celda::Tipo::Texto: return c.texto.trimmed();
        case Celda::Tipo::Logico: return c.numero != 0 ? QStringLiteral("VERDADERO") : QStringLiteral("FALSO");
        case Celda::Tipo::Error:
        case Celda::Tipo::Fecha: return c.texto;
        case Celda::Tipo::SinCalcular: return QStringLiteral("fórmula");
        case Celda::Tipo::Vacia: break;
    }
    return {};
}

// What makes a cell unusable in any column, or nothing.
std::optional<QString> Inservible(const Celda& c) {
    switch (c.tipo) {
        case Celda::Tipo::SinCalcular: return QStringLiteral("la celda tiene una fórmula sin valor calculado");
        case Celda::Tipo::Error: return QStringLiteral("la celda tiene un error");
        case Celda::Tipo::Logico: return QStringLiteral("la celda tiene un valor lógico (VERDADERO o FALSO)");
        default: return std::nullopt;
    }
}

// A cell as a number: empty is 0; a text must be a finite number; a date is not a number.
std::optional<double> NumeroDe(const Celda& c) {
    switch (c.tipo) {
        case Celda::Tipo::Vacia: return 0.0;
        case Celda::Tipo::Numero: return std::isfinite(c.numero) ? std::optional(c.numero) : std::nullopt;
        case Celda::Tipo::Texto: {
            const QString t = c.texto.trimmed();
            if (t.isEmpty()) return 0.0;
            bool ok = false;
            const double d = t.toDouble(&ok);
            return ok && std::isfinite(d) ? std::optional(d) : std::nullopt;
        }
        default: return std::nullopt;
    }
}

bool EsEntero(double d) { return std::isfinite(d) && std::floor(d) == d && std::fabs(d) < 1e15; }

// The item table's fields the import writes.
enum Campo { kIdmerc, kPartida, kFraccion, kDescrip, kIdum, kUnidadmed, kTotalpart, kCantidad, kPrecio, kCampos };
constexpr const char16_t* kNombres[kCampos] = {u"idmerc", u"partida", u"fraccion", u"descrip", u"idum",
                                               u"unidadmed", u"totalpart", u"cantidad", u"precio"};

// A field of the new item, with the cell it comes from (for the fault's message); no cell for the
// unit price, which comes from two.
struct Dato {
    Campo campo;
    QVariant valor;
    const char* columna;
    const Celda* celda;
};

struct Fila {
    QByteArray registro;
    double cantidad = 0;
    double valor = 0;
};

QString Falla(const QString& mensaje) { return mensaje + QStringLiteral("\nNo se importó ninguna partida."); }

}  // namespace

QString LibroDeMercancias(const QString& datos) {
    const QDir dir(datos);
    const QStringList hay = dir.entryList(QDir::Files | QDir::Readable);
    for (const char* ext : {"xls", "xlsx", "ods", "csv"}) {
        const QString buscado = QStringLiteral("mercancia.") + QLatin1String(ext);
        for (const QString& n : hay)
            if (n.compare(buscado, Qt::CaseInsensitive) == 0) return dir.filePath(n);
    }
    return {};
}

ResultadoImportacion ImportaMercancias(OrigenDatos& libro, Cursor& mercanci, const QString& datos, QString archivo) {
    ResultadoImportacion r;
    if (archivo.isEmpty()) archivo = LibroDeMercancias(datos);
    if (archivo.isEmpty()) {
        r.mensaje = Falla(QStringLiteral("No se encontró el libro «mercancia.xls» (ni «mercancia.xlsx», «mercancia.ods» o "
                                         "«mercancia.csv») en «%1».")
                              .arg(QDir::toNativeSeparators(datos)));
        return r;
    }
    const QString nombre = QFileInfo(archivo).fileName();
    libro.Conecta(archivo, QStringLiteral("Excel 5.0;"), kHojaDeMercancias + u'$');
    Libro leido;
    try {
        QFile f(archivo);
        if (!f.open(QIODevice::ReadOnly))
            throw ErrorLibro(QStringLiteral("no se pudo abrir (%1).").arg(f.errorString()));
        const LimitesLibro limites;
        if (f.size() > limites.inflado) throw ErrorLibro(QStringLiteral("es demasiado grande para importarse."));
        const QByteArray bytes = f.readAll();
        if (bytes.size() != f.size()) throw ErrorLibro(QStringLiteral("no se pudo leer completo (%1).").arg(f.errorString()));
        if (!archivo.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) && !EsLibroBinario(bytes))
            throw ErrorLibro(QStringLiteral("no es un libro de Excel (.xls, .xlsx) ni de OpenDocument (.ods); si es texto "
                                            "separado por comas, nómbrelo .csv."));
        leido = LeeLibro(bytes, limites);
    } catch (const ErrorLibro& e) {
        libro.Desliga();
        r.mensaje = Falla(QStringLiteral("Libro «%1»: %2").arg(nombre, e.mensaje()));
        return r;
    }
    libro.Desliga();
    if (leido.hojas.empty()) {
        QStringList nombres;
        for (const QString& h : leido.nombres) nombres << QStringLiteral("«%1»").arg(h);
        r.mensaje = Falla(QStringLiteral("Libro «%1»: no tiene la hoja «%2»%3.")
                              .arg(nombre, kHojaDeMercancias,
                                   nombres.isEmpty() ? QString() : QStringLiteral(" (sus hojas: %1)").arg(nombres.join(QStringLiteral(", ")))));
        return r;
    }
    return ImportaHoja(leido.hojas.front(), nombre, mercanci, datos);
}

ResultadoImportacion ImportaHoja(const Hoja& hoja, const QString& nombre, Cursor& mercanci, const QString& datos) {
    ResultadoImportacion r;
    QStringList faltas;
    std::vector<Fila> filas;
    std::map<qint64, std::optional<QString>> unidades;  // each key looked up once
    try {
        // Each row is set on a scratch record: what does not fit is a fault of the sheet, and the
        // record of a good row is the one appended.
        Cursor ensayo = mercanci.Clone();
        int posicion[kCampos];
        for (int i = 0; i < kCampos; ++i)
            if ((posicion[i] = ensayo.IndiceCampo(kNombres[i])) < 0)
                throw ErrorTabla(QStringLiteral("La tabla de partidas no tiene el campo «%1».").arg(QString::fromUtf16(kNombres[i])));
        std::vector<Dato> campos;
        // Row 1 holds the headings; the items start on row 2 and end at the first empty item number.
        for (int numero = 2; numero <= Hoja::kUltimaFila; ++numero) {
            const Celda &a = hoja.celda(numero, 0), &b = hoja.celda(numero, 1), &c = hoja.celda(numero, 2),
                        &d = hoja.celda(numero, 3), &e = hoja.celda(numero, 4), &v = hoja.celda(numero, 5);
            if (a.enBlanco()) break;
            const qsizetype faltasAntes = faltas.size();
            auto falta = [&](const char* columna, const Celda& celda, const QString& que) {
                faltas << QStringLiteral("fila %1, columna %2 («%3»): %4").arg(numero).arg(QLatin1String(columna), TextoDe(celda), que);
            };
            // A formula without a result, an error or a true/false is no item's datum in any column.
            bool inservible = false;
            const std::pair<const char*, const Celda*> celdas[] = {{"A", &a}, {"B", &b}, {"C", &c}, {"D", &d}, {"E", &e}, {"F", &v}};
            for (const auto& [col, celda] : celdas)
                if (const auto que = Inservible(*celda)) falta(col, *celda, *que), inservible = true;
            auto numero_de = [&](const char* col, const Celda& celda, const QString& que) -> std::optional<double> {
                if (Inservible(celda)) return std::nullopt;
                if (celda.dudoso) {
                    falta(col, celda, QStringLiteral("no se sabe si el punto (o la coma) separa los miles o los decimales; "
                                                     "escriba el número sin separar los miles"));
                    return std::nullopt;
                }
                const auto n = NumeroDe(celda);
                if (!n) falta(col, celda, celda.tipo == Celda::Tipo::Fecha ? QStringLiteral("la celda tiene una fecha, no un número") : que);
                return n;
            };
            auto partida = numero_de("A", a, QStringLiteral("el número de partida no es un número"));
            if (partida && !EsEntero(*partida)) {
                falta("A", a, QStringLiteral("el número de partida debe ser un número entero"));
                partida.reset();
            }
            const auto clave = numero_de("D", d, QStringLiteral("la clave de unidad no es un número"));
            const auto cantidad = numero_de("E", e, QStringLiteral("la cantidad no es un número"));
            const auto valor = numero_de("F", v, QStringLiteral("el valor no es un número"));
            // A fraction typed as a number lost its leading zeros in the spreadsheet: they are put back.
            QString fraccion = TextoDe(b);
            if (b.tipo == Celda::Tipo::Numero) {
                if (EsEntero(b.numero) && b.numero >= 0 && b.numero <= 99999999)
                    fraccion = TextoDeNumero(b.numero).rightJustified(8, u'0');
                else
                    falta("B", b, QStringLiteral("la fracción debe ser un número entero de hasta 8 dígitos"));
            } else if (b.tipo == Celda::Tipo::Fecha) {
                falta("B", b, QStringLiteral("la celda tiene una fecha, no una fracción"));
            }
            campos = {{kIdmerc, 0, "", nullptr},
                      {kPartida, partida.value_or(0), "A", &a},
                      {kFraccion, fraccion, "B", &b},
                      {kDescrip, TextoDe(c), "C", &c},
                      {kIdum, 0, "", nullptr}};
            if (clave && *clave != 0) {
                if (!EsEntero(*clave)) {
                    falta("D", d, QStringLiteral("la clave de unidad debe ser un número entero"));
                } else {
                    auto it = unidades.find(qint64(*clave));
                    if (it == unidades.end()) {
                        Cursor um = AbreCursor(datos, QStringLiteral("dBASE III;"),
                                               QStringLiteral("Select U_medida from catum where cve_med = ") + TextoDeNumero(*clave));
                        it = unidades.emplace(qint64(*clave), um.Eof() ? std::nullopt : std::optional(um.Valor(0).toString())).first;
                    }
                    if (it->second) campos.push_back({kUnidadmed, *it->second, "D", &d});
                    else falta("D", d, QStringLiteral("la unidad no está en el catálogo de unidades"));
                }
            }
            Fila f;
            f.cantidad = cantidad && *cantidad != 0 ? CortaNumero(*cantidad, 15) : 0;
            f.valor = valor && *valor != 0 ? CortaNumero(*valor, 15) : 0;
            campos.push_back({kTotalpart, f.valor, "F", &v});
            campos.push_back({kCantidad, f.cantidad, "E", &e});
            // The unit price, as the item grid computes it: Total / Cantidad; 0 without a quantity,
            // so that the request can be printed.
            campos.push_back({kPrecio, f.cantidad != 0 ? CortaNumero(f.valor / f.cantidad, 12) : 0.0, nullptr, nullptr});
            ensayo.AddNew();
            for (const Dato& dato : campos) {
                try {
                    ensayo.SetValor(posicion[dato.campo], dato.valor);
                } catch (const ErrorTabla& error) {
                    if (error.motivo().isEmpty()) throw;
                    if (inservible) continue;  // said already
                    if (dato.celda)
                        faltas << QStringLiteral("fila %1, columna %2 («%3»): %4").arg(numero).arg(QLatin1String(dato.columna), TextoDe(*dato.celda), error.motivo());
                    else
                        faltas << QStringLiteral("fila %1, precio unitario (valor entre cantidad, «%2»): %3")
                                      .arg(numero).arg(TextoDeNumero(dato.valor.toDouble()), error.motivo());
                }
            }
            if (faltas.size() == faltasAntes) f.registro = ensayo.Pendiente();
            ensayo.CancelUpdate();
            filas.push_back(std::move(f));
        }
    } catch (const ErrorTabla& e) {
        r.mensaje = Falla(e.mensaje());
        return r;
    }
    if (!faltas.isEmpty()) {
        r.mensaje = QStringLiteral("No se importó ninguna partida de «%1»: corrija la hoja «%2» e intente de nuevo.\n").arg(nombre, hoja.nombre) +
                    faltas.mid(0, kFaltasMostradas).join(u'\n');
        if (faltas.size() > kFaltasMostradas) r.mensaje += QStringLiteral("\n… y %1 más.").arg(faltas.size() - kFaltasMostradas);
        return r;
    }
    // Appended as one step: the records first, then the header's count, so a reader (or a start
    // after a kill) sees all of the sheet's items or none of them.
    try {
        std::vector<QByteArray> registros;
        registros.reserve(filas.size());
        for (Fila& f : filas) registros.push_back(std::move(f.registro));
        mercanci.AgregaVarios(registros);
    } catch (const ErrorTabla& e) {
        r.mensaje = Falla(e.mensaje());
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
