#include "ServicioSonido.h"

#include "Archivos.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace lorum {

void ServicioSonido::Reproduce(const QString& ruta) {
    QString real;
    try {
        real = ResuelveRuta(ruta);
    } catch (const std::exception&) {
        return;  // two spellings of the file: nothing is played, as for a missing one
    }
    if (!QFileInfo(real).isFile()) return;
    if (!efecto_) efecto_ = new QSoundEffect(this);
    efecto_->setSource(QUrl::fromLocalFile(real));
    efecto_->play();
}

}  // namespace lorum
