#include "Inicia.h"
#include "MensajesQt.h"
#include "ServicioSonido.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LORUM"));
    QApplication::setApplicationVersion(lorum::Inicia::kVersion);
    lorum::Inicia::TraduceQt();
    lorum::MensajesQt mensajes;
    lorum::ServicioSonido sonido;
    lorum::Inicia inicia(mensajes, sonido);
    if (!inicia.Main(QApplication::applicationDirPath())) return 1;
    return app.exec();
}
