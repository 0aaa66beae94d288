#include "Durabilidad.h"

#include <QFile>
#include <mutex>

namespace lorum {

namespace {
// The draft is written on a thread of its own: the injected failures are read under a lock.
std::mutex& cerrojo() {
    static std::mutex m;
    return m;
}
std::function<bool(QStringView, const QString&)>& fallas() {
    static std::function<bool(QStringView, const QString&)> f;
    return f;
}
}  // namespace

void FijaFallas(std::function<bool(QStringView paso, const QString& ruta)> falla) {
    const std::lock_guard<std::mutex> l(cerrojo());
    fallas() = std::move(falla);
}

bool FallaInyectada(QStringView paso, const QString& ruta) {
    const std::lock_guard<std::mutex> l(cerrojo());
    return fallas() && fallas()(paso, ruta);
}

bool AseguraArchivo(QFile& archivo) {
    return !FallaInyectada(u"asegura-archivo", archivo.fileName()) && plataforma::AseguraArchivo(archivo);
}

bool AseguraDirectorio(const QString& directorio) {
    return !FallaInyectada(u"asegura-directorio", directorio) && plataforma::AseguraDirectorio(directorio);
}

bool Renombra(const QString& desde, const QString& hacia) {
    return !FallaInyectada(u"renombra", hacia) && plataforma::Renombra(desde, hacia);
}

bool EnlaceDuro(const QString& ruta, const QString& otro) {
    return !FallaInyectada(u"enlace", otro) && plataforma::EnlaceDuro(ruta, otro);
}

bool EscribeNuevo(const QString& ruta, const QByteArray& bytes, const QString& modoDe, QString* motivo) {
    if (FallaInyectada(u"escribe-nuevo", ruta)) {
        *motivo = QStringLiteral("falla de prueba");
        return false;
    }
    return plataforma::EscribeNuevo(ruta, bytes, modoDe, motivo);
}

}  // namespace lorum
