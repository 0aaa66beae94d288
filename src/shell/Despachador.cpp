#include "Despachador.h"

#include "ErrorTabla.h"
#include "ServicioMensajes.h"

namespace lorum {

bool Despachador::Ejecuta(const std::function<void()>& comando) const {
    QString mensaje;
    try {
        comando();
        return true;
    } catch (const ErrorTabla& e) {
        mensaje = e.mensaje();
    } catch (const std::exception& e) {
        mensaje = QStringLiteral("Error inesperado: %1").arg(QString::fromLocal8Bit(e.what()));
    }
    mensajes_.Muestra(mensaje, QString(), ServicioMensajes::Botones::Aceptar, ServicioMensajes::Icono::Critico);
    return false;
}

}  // namespace lorum
