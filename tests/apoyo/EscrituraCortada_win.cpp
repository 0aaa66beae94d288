#include "EscrituraCortada.h"

#include "Durabilidad.h"

namespace lorum::prueba {

EscrituraCortada::EscrituraCortada(qint64, const QString& nombre) {
    FijaFallas([nombre](QStringView paso, const QString& ruta) { return paso == u"escribe-nuevo" && ruta.contains(nombre); });
}

EscrituraCortada::~EscrituraCortada() { FijaFallas({}); }

}  // namespace lorum::prueba
