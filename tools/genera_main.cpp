// lorum-genera DIR_CSV DIR_DATOS: lays out the data directory at build time.
#include "ErrorTabla.h"
#include "GeneradorDatos.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "Uso: lorum-genera DIR_CSV DIR_DATOS\n");
        return 2;
    }
    try {
        lorum::PreparaDirectorioDatos(args[1], args[2]);
    } catch (const lorum::ErrorTabla& e) {
        std::fprintf(stderr, "lorum-genera: %s\n", e.what());
        return 1;
    }
    return 0;
}
