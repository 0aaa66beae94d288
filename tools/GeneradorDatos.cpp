#include "GeneradorDatos.h"

#include "Archivos.h"
#include "Csv.h"
#include "ErrorTabla.h"
#include "OrigenDatos.h"
#include "TablaDbf.h"
#include "TablasSolicitud.h"

#include <QDir>

namespace lorum {

namespace {

// Fills a new table from CSV rows whose header names its fields.
void llenaDesdeCsv(const QString& ruta, const std::vector<QStringList>& filas, const QString& csv) {
    if (filas.empty()) throw ErrorTabla(QStringLiteral("«%1» está vacío.").arg(csv));
    Cursor cursor(TablaDbf::Abre(ruta));
    const QStringList& encabezado = filas.front();
    for (size_t f = 1; f < filas.size(); ++f) {
        if (filas[f].size() != encabezado.size())
            throw ErrorTabla(QStringLiteral("«%1», línea %2: tiene %3 campos y el encabezado %4.")
                                 .arg(csv).arg(f + 1).arg(filas[f].size()).arg(encabezado.size()));
        cursor.AddNew();
        for (qsizetype c = 0; c < encabezado.size(); ++c) cursor.SetValor(encabezado[c], filas[f][c]);
        cursor.Update();
    }
}

}  // namespace

void PreparaDirectorioDatos(const QString& dirCsv, const QString& dirDatos) {
    if (!QDir().mkpath(dirDatos)) throw ErrorTabla(QStringLiteral("No se pudo crear el directorio «%1».").arg(dirDatos));
    const QDir datos(dirDatos);
    const QDir fuentes(dirCsv);

    for (const auto& t : tablas::TablasDeSolicitud()) {
        TablaDbf::Crea(ResuelveArchivo(dirDatos, t.plantilla), *t.definicion);
        const QString trabajo = ResuelveArchivo(dirDatos, t.archivo);
        if (!QFileInfo::exists(trabajo)) TablaDbf::Crea(trabajo, *t.definicion);
    }

    for (const auto& catalogo : tablas::Catalogos()) {
        const QString ruta = ResuelveArchivo(dirDatos, catalogo.archivo);
        const QString csv = fuentes.filePath(catalogo.csv);
        const auto filas = LeeCsv(csv);
        TablaDbf::Crea(ruta, catalogo.definicion,
                       catalogo.dbaseIII ? std::nullopt : std::optional<PaginaCodigos>(PaginaCodigos::Cp850));
        llenaDesdeCsv(ruta, filas, csv);
    }

    // Every country of the catalog, in its order, with no RFC yet.
    const QString todos = ResuelveArchivo(dirDatos, tablas::kTodosLosPaises);
    TablaDbf::Crea(todos, tablas::Lorumpai());
    Cursor paises = AbreCursor(dirDatos, QStringLiteral("FoxPro 2.5;"), QStringLiteral("CATPAIS"));
    Cursor destino(TablaDbf::Abre(todos));
    for (; !paises.Eof(); paises.MoveNext()) {
        destino.AddNew();
        for (const QString& campo : {QStringLiteral("IDPAIS"), QStringLiteral("CVESHCP"), QStringLiteral("NOMCOMPAI")})
            destino.SetValor(campo, paises.Valor(campo));
        destino.Update();
    }
}

}  // namespace lorum
