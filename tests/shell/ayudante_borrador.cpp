// The program's own start-up on a data folder, answering the offer of an unsaved draft as told, then
// doing one thing a person does: typing a request and waiting (to be killed), typing and leaving
// through the exit dialog's "No" or through a refused save, or saving what was offered back. It
// prints every message and, at start, every field of the form.
#include "ArranquePrueba.h"
#include "Borrador.h"

#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <cstdio>

using namespace lorum;
using namespace lorum::prueba;

namespace {

class MensajesDeAyudante : public ServicioMensajes {
public:
    explicit MensajesDeAyudante(Respuesta alBorrador) : alBorrador_(alBorrador) {}
    Respuesta Muestra(const QString& texto, const QString& titulo, Botones botones, Icono) override {
        std::printf("mensaje %s|%s\n", texto.toUtf8().constData(), titulo.toUtf8().constData());  // UTF-8 on every system
        std::fflush(stdout);
        if (texto.startsWith(QStringLiteral("Hay información capturada"))) return alBorrador_;
        if (texto.startsWith(QStringLiteral("¿Desea guardar"))) return salida;
        return botones == Botones::Aceptar ? Respuesta::Aceptar : Respuesta::Si;
    }
    Respuesta salida = Respuesta::No;

private:
    Respuesta alBorrador_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 4) return 2;
    const QString respuesta = QString::fromLatin1(argv[2]), hace = QString::fromLatin1(argv[3]);
    MensajesDeAyudante mensajes(respuesta == u"si" ? ServicioMensajes::Respuesta::Si : ServicioMensajes::Respuesta::No);
    SonidoFalso sonido;
    Inicia inicia(mensajes, sonido);
    if (!inicia.Main(QString::fromLocal8Bit(argv[1]))) return 3;
    MDICaptura& v = *inicia.ventana();
    Captura& f = *v.captura();
    v.Termina = [] { QApplication::quit(); };
    for (const auto& [nombre, valor] : f.BorradorActual().campos)
        std::printf("campo %s %s\n", PalabraDeTexto(nombre).constData(), PalabraDeTexto(valor).constData());
    std::printf("pagina %d\n", f.SSTab1->currentIndex());
    std::fflush(stdout);
    const QString borrador = QDir(inicia.estado().sRutaApp).filePath(Borrador::kArchivo);
    if (hace == u"guarda") {
        std::printf("guardado %d\n", int(f.GuardaInformacion()));
        return 0;
    }
    if (hace == u"muestra") return 0;
    // Typing as a person does: keys into the RFC, the rest filled, then a pause; the draft follows
    // on its own within a few seconds.
    f.dfRFC->setDatoTxt(QString());
    QTest::keyClicks(f.dfRFC->Interior(), QStringLiteral("pegj800101ab1"));
    if (hace == u"teclea" || hace == u"sale-no") LlenaSolicitud(f, f.dfRFC->Text());
    f.PasaPagina(5);
    QTimer espera;
    QObject::connect(&espera, &QTimer::timeout, [&] {
        if (!QFileInfo::exists(borrador)) return;
        espera.stop();
        std::printf("borrador\n");
        std::fflush(stdout);
        if (hace == u"sale-no") v.mnuSisSalir_Click();  // "No": the program ends with the draft kept
        if (hace == u"rechazada") {
            mensajes.salida = ServicioMensajes::Respuesta::Si;  // a save that is refused: the program stays
            v.mnuSisSalir_Click();
            std::printf("sigue\n");
            std::fflush(stdout);
        }
    });
    espera.start(50);
    return app.exec();
}
