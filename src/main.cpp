#include "CarpetaDatos.h"
#include "Inicia.h"
#include "MensajesQt.h"
#include "ServicioSonido.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QProcessEnvironment>
#include <QResource>
#include <QSocketNotifier>
#include <QTemporaryFile>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

constexpr char kAyuda[] =
    "Uso: lorum [opciones]\n"
    "Captura de la Solicitud de Permiso de Importación o Exportación y de Modificaciones.\n"
    "\n"
    "Opciones:\n"
    "  --datos CARPETA      carpeta de la solicitud y de los catálogos (también LORUM_DATOS);\n"
    "                       sin ella, la del programa si es suya y se puede escribir, si no\n"
    "                       ~/.local/share/lorum\n"
    "  --unidad-a CARPETA   carpeta de la unidad de entrega, la «unidad A:» (también\n"
    "                       LORUM_UNIDAD_A); sin ella, /media/floppy\n"
    "  --version            muestra la versión y termina\n"
    "  --help               muestra esta ayuda y termina\n";

// SIGTERM and SIGINT (a session that ends, Ctrl+C in a terminal) end the run as the event loop's
// quit does, through a socket the handler writes one byte to.
int gTuberia[2] = {-1, -1};
void AlTerminar(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(gTuberia[0], &c, 1);
}

// Reading the system's font configuration (every file under /etc/fonts parsed) is the longest step
// of a start, and needs no display: it runs on another core while the connection to the display is
// made, and is done before the first widget measures a text, which then finds it loaded.
std::thread LeeFuentesAparte() {
    using Inicio = int (*)();
    if (auto* inicia = reinterpret_cast<Inicio>(::dlsym(RTLD_DEFAULT, "FcInit"))) {
        try {
            return std::thread(inicia);
        } catch (const std::system_error&) {
            // No thread to be had: the fonts are read where they always were.
        }
    }
    return {};
}

bool Escribible(const QString& carpeta) {
    QTemporaryFile prueba(QDir(carpeta).filePath(QStringLiteral(".lorum-escritura-XXXXXX")));
    return prueba.open();
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before any window system is touched, as desktop programs do.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("lorum %s\n", LORUM_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kAyuda, stdout);
            return 0;
        }
    }
    std::thread fuentes = LeeFuentesAparte();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LORUM"));
    QApplication::setApplicationVersion(lorum::Inicia::kVersion);
    QApplication::setDesktopFileName(QStringLiteral("lorum"));
    // Raw pixels: decoding the PNG would first load every image plugin to ask what the file is.
    if (const QByteArray rgba = QResource(QStringLiteral(":/lorum/lorum-48.rgba")).uncompressedData();
        rgba.size() == 48 * 48 * 4)
        QApplication::setWindowIcon(QPixmap::fromImage(
            QImage(reinterpret_cast<const uchar*>(rgba.constData()), 48, 48, QImage::Format_RGBA8888)
                .copy()));

    // Latin text needs no shaping: without it each text is measured and drawn from the font's own
    // advances, which spares most of the cost of laying out a form full of captions and of painting
    // the item grid.
    QFont letra = QApplication::font();
    letra.setStyleStrategy(QFont::PreferNoShaping);
    QApplication::setFont(letra);

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gTuberia) == 0) {
        auto* aviso = new QSocketNotifier(gTuberia[1], QSocketNotifier::Read, &app);
        // exit(), not quit(): the window's closing questions are for the user, not for a session that ends.
        QObject::connect(aviso, &QSocketNotifier::activated, &app, [] { QApplication::exit(0); });
        struct sigaction s {};
        s.sa_handler = AlTerminar;
        sigemptyset(&s.sa_mask);
        s.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &s, nullptr);
        sigaction(SIGINT, &s, nullptr);
    }

    lorum::Inicia::TraduceQt();
    lorum::MensajesQt mensajes;
    lorum::ServicioSonido sonido;
    lorum::Inicia inicia(mensajes, sonido);
    const lorum::CarpetaDatos datos = lorum::EligeCarpetaDatos(
        QApplication::arguments(), QProcessEnvironment::systemEnvironment().value(QStringLiteral("LORUM_DATOS")),
        QApplication::applicationDirPath(), lorum::CarpetaDeUsuario(), Escribible);
    if (fuentes.joinable()) fuentes.join();
    if (!inicia.Main(datos.ruta, datos.instalada)) return 1;
    return app.exec();
}
