// lorum-tabla: inspects a table file for people and scripts.
//   lorum-tabla estructura ARCHIVO        one line per field: position name kind width decimals
//   lorum-tabla csv [--borrados] ARCHIVO  the records as CSV (UTF-8)
//   lorum-tabla libro ARCHIVO             columns A to F of each sheet of a workbook, as the import reads them
#include "Archivos.h"
#include "ErrorTabla.h"
#include "ExportaCsv.h"
#include "Libro.h"
#include "TablaDbf.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

int uso() {
    std::fprintf(stderr,
                 "Uso: lorum-tabla estructura ARCHIVO\n"
                 "     lorum-tabla csv [--borrados] ARCHIVO\n"
                 "     lorum-tabla libro ARCHIVO\n");
    return 2;
}

// One line per row: its number, then each cell as kind:value (n number, t text, b true/false, e error,
// f date, s formula without a result), "=" after the kind of a formula's result.
void MuestraLibro(const lorum::Libro& libro) {
    using T = lorum::Celda::Tipo;
    for (const lorum::Hoja& h : libro.hojas) {
        std::printf("== %s\n", qPrintable(h.nombre));
        for (const auto& [fila, celdas] : h.filas) {
            std::printf("%d", fila);
            for (const lorum::Celda& c : celdas) {
                static const char tipos[] = "-ntbefs";
                const QString v = c.tipo == T::Numero || c.tipo == T::Logico ? QString::number(c.numero, 'g', 15) : c.texto;
                std::printf("\t%c%s:%s", tipos[int(c.tipo)], c.formula ? "=" : "", qPrintable(v.left(60)));
            }
            std::printf("\n");
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) return uso();
    const QString orden = args.takeFirst();
    const bool conBorrados = args.removeAll(QStringLiteral("--borrados")) > 0;
    if (args.size() != 1 ||
        (orden != QLatin1String("estructura") && orden != QLatin1String("csv") && orden != QLatin1String("libro")) ||
        (conBorrados && orden != QLatin1String("csv")))
        return uso();

    try {
        const QString ruta = lorum::ResuelveRuta(args.front());
        if (!QFileInfo(ruta).isFile()) {
            std::fprintf(stderr, "lorum-tabla: no existe el archivo «%s».\n", qPrintable(args.front()));
            return 1;
        }
        if (orden == QLatin1String("libro")) {
            QFile f(ruta);
            if (!f.open(QIODevice::ReadOnly)) throw lorum::ErrorTabla(f.errorString());
            MuestraLibro(lorum::LeeLibro(f.readAll()));
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        lorum::LectorDbf lector(ruta);
        if (orden == QLatin1String("estructura")) {
            int i = 0;
            for (const auto& c : lector.campos())
                std::printf("%d %s %c %d %d\n", i++, qPrintable(c.nombre), c.tipo, c.ancho, c.decimales);
        } else {
            lorum::ExportaCsv(lector, conBorrados, stdout);
        }
    } catch (const lorum::ErrorLibro& e) {
        std::fprintf(stderr, "lorum-tabla: el libro %s\n", qPrintable(e.mensaje()));
        return 1;
    } catch (const lorum::ErrorTabla& e) {
        std::fprintf(stderr, "lorum-tabla: %s\n", e.what());
        return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
