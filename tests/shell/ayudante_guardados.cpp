// The program's own start-up on a data folder, then "Guardar" over and over, each save changing the
// applicant and the request with the same turn number; the test kills it at random moments. On
// start it prints what the form loaded, so the test sees what a person would see after a restart.
#include "ArranquePrueba.h"

#include <QTimer>
#include <cstdio>

using namespace lorum;
using namespace lorum::prueba;

namespace {

// Every message is answered with its first button; start-up's messages are printed.
class MensajesAutomaticos : public ServicioMensajes {
public:
    Respuesta Muestra(const QString& texto, const QString&, Botones botones, Icono) override {
        std::printf("mensaje %s\n", qPrintable(texto.left(60)));
        std::fflush(stdout);
        return botones == Botones::SiNo || botones == Botones::SiNoSinEscape || botones == Botones::SiNoCancelar ? Respuesta::Si
                                                                                                             : Respuesta::Aceptar;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    MensajesAutomaticos mensajes;
    SonidoFalso sonido;
    Inicia inicia(mensajes, sonido);
    if (!inicia.Main(QString::fromLocal8Bit(argv[1]))) return 3;
    Captura& f = *inicia.ventana()->captura();
    std::printf("cargado %s|%s|%lld\n", qPrintable(f.TxtRep_Cargo->Text()), qPrintable(f.TxtMlJust->Text()),
                f.dtsMercancia.Registros().RecordCount());
    std::fflush(stdout);
    LlenaSolicitud(f);
    int vuelta = 0;
    QTimer guardados;
    QObject::connect(&guardados, &QTimer::timeout, [&] {
        const QString marca = QStringLiteral("VUELTA %1").arg(++vuelta);
        f.TxtRep_Cargo->setDatoTxt(marca);
        f.TxtMlJust->setDatoTxt(marca);
        f.GuardaInformacion();
        std::printf("guardado %d\n", vuelta);
        std::fflush(stdout);
        if (argc > 2 && vuelta >= atoi(argv[2])) app.quit();
    });
    guardados.start(0);
    return app.exec();
}
