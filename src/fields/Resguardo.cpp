#include "Resguardo.h"

#include "ErrorTabla.h"
#include "ServicioMensajes.h"

#include <QTimer>

namespace lorum {

bool Resguarda(ServicioMensajes* mensajes, const std::function<void()>& trabajo) noexcept {
    QString mensaje;
    try {
        trabajo();
        return true;
    } catch (const ErrorTabla& e) {
        mensaje = e.mensaje();
    } catch (const std::exception& e) {
        mensaje = QStringLiteral("Error inesperado: %1").arg(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        mensaje = QStringLiteral("Error inesperado.");
    }
    if (mensajes) {
        try {
            mensajes->Muestra(mensaje, QString(), ServicioMensajes::Botones::Aceptar, ServicioMensajes::Icono::Critico);
        } catch (...) {
        }
    }
    return false;
}

void Difiere(const EstadoInicia& estado, QObject* contexto, std::function<void()> regla) {
    QTimer::singleShot(0, contexto, [&estado, regla = std::move(regla)] { Resguarda(estado.mensajes, regla); });
}

}  // namespace lorum
