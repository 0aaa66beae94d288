// lorum-tabla: inspects a table file for people and scripts.
//   lorum-tabla estructura ARCHIVO        one line per field: position name kind width decimals
//   lorum-tabla csv [--borrados] ARCHIVO  the records as CSV (UTF-8)
#include "Archivos.h"
#include "ErrorTabla.h"
#include "ExportaCsv.h"
#include "TablaDbf.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace {

int uso() {
    std::fprintf(stderr,
                 "Uso: lorum-tabla estructura ARCHIVO\n"
                 "     lorum-tabla csv [--borrados] ARCHIVO\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) return uso();
    const QString orden = args.takeFirst();
    const bool conBorrados = args.removeAll(QStringLiteral("--borrados")) > 0;
    if (args.size() != 1 || (orden != QLatin1String("estructura") && orden != QLatin1String("csv")) ||
        (conBorrados && orden != QLatin1String("csv")))
        return uso();

    try {
        const QString ruta = lorum::ResuelveRuta(args.front());
        if (!QFileInfo(ruta).isFile()) {
            std::fprintf(stderr, "lorum-tabla: no existe el archivo «%s».\n", qPrintable(args.front()));
            return 1;
        }
        lorum::LectorDbf lector(ruta);
        if (orden == QLatin1String("estructura")) {
            int i = 0;
            for (const auto& c : lector.campos())
                std::printf("%d %s %c %d %d\n", i++, qPrintable(c.nombre), c.tipo, c.ancho, c.decimales);
        } else {
            lorum::ExportaCsv(lector, conBorrados, stdout);
        }
    } catch (const lorum::ErrorTabla& e) {
        std::fprintf(stderr, "lorum-tabla: %s\n", e.what());
        return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
