// Writes the toolbar icons' raw pixels to the file named on the command line (run by the build).
#include "IconosBarra.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <cstdio>

int main(int argc, char** argv) {
    // No screen is needed to draw them (and Wine, which runs this for a Windows build, passes on no
    // QT_ variable).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("Uso: lorum-iconos ARCHIVO\n", stderr);
        return 2;
    }
    const QString destino = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(QFileInfo(destino).absolutePath());
    QSaveFile f(destino);
    if (!f.open(QIODevice::WriteOnly) || f.write(lorum::PixelesDeIconos()) < 0 || !f.commit()) {
        std::fprintf(stderr, "No se pudo escribir %s\n", argv[1]);
        return 1;
    }
    return 0;
}
