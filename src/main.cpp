#include "CarpetaDatos.h"
#include "Inicia.h"
#include "MensajesQt.h"
#include "Opciones.h"
#include "Plataforma.h"
#include "ServicioSonido.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QProcessEnvironment>
#include <QResource>
#include <QTemporaryFile>
#include <cstdio>

namespace {

bool Escribible(const QString& carpeta) {
    QTemporaryFile prueba(QDir(carpeta).filePath(QStringLiteral(".lorum-escritura-XXXXXX")));
    return prueba.open();
}

}  // namespace

int main(int argc, char** argv) {
    // The command line is read before any window system is touched, as desktop programs do.
    QStringList argumentos;
    for (int i = 0; i < argc; ++i) argumentos << QString::fromLocal8Bit(argv[i]);
    const lorum::Opciones opciones = lorum::LeeOpciones(argumentos);
    if (opciones.version) return std::printf("lorum %s\n", LORUM_VERSION), 0;
    if (opciones.ayuda) return std::fputs(lorum::AyudaDeOpciones().toLocal8Bit().constData(), stdout), 0;
    if (!opciones.error.isEmpty()) return std::fputs(opciones.error.toLocal8Bit().constData(), stderr), 2;

    QApplication app(argc, argv);
    std::function<void()> espera = lorum::LeeFuentesAparte();
    QApplication::setApplicationName(QStringLiteral("LORUM"));
    QApplication::setApplicationVersion(lorum::Inicia::kVersion);
    QApplication::setDesktopFileName(QStringLiteral("lorum"));
    // Raw pixels: decoding the PNG would first load every image plugin to ask what the file is.
    if (const QByteArray rgba = QResource(QStringLiteral(":/lorum/lorum-48.rgba")).uncompressedData(); rgba.size() == 48 * 48 * 4)
        QApplication::setWindowIcon(
            QPixmap::fromImage(QImage(reinterpret_cast<const uchar*>(rgba.constData()), 48, 48, QImage::Format_RGBA8888).copy()));
    // Latin text needs no shaping: each text is measured and drawn from the font's own advances,
    // which spares most of the cost of laying out a form full of captions.
    QFont letra = QApplication::font();
    letra.setStyleStrategy(QFont::PreferNoShaping);
    QApplication::setFont(letra);
    lorum::TerminaConLaSesion(app);

    lorum::Inicia::TraduceQt();
    lorum::MensajesQt mensajes;
    lorum::ServicioSonido sonido;
    lorum::Inicia inicia(mensajes, sonido);
    inicia.AntesDeLaPrimeraVentana = std::move(espera);
    inicia.opcionUnidad = opciones.unidadA;
    const lorum::CarpetaDatos datos = lorum::EligeCarpetaDatos(
        opciones.datos, QProcessEnvironment::systemEnvironment().value(QStringLiteral("LORUM_DATOS")),
        QApplication::applicationDirPath(), lorum::CarpetaDeUsuario(), Escribible);
    if (!inicia.Main(datos.ruta, datos.instalada)) return 1;
    return app.exec();
}
