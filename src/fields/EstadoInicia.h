#pragma once

#include <QString>
#include <vector>

namespace lorum {

class ControlCampo;
class ServicioCorreo;
class ServicioMensajes;

// The shared state of the start-up module, owned by it for the whole run and passed to whoever needs
// it: the data directory, the driver string of the request tables, the missing-data list of the last
// completeness check, the capture form's field controls in form order, and the message and mail services.
struct EstadoInicia {
    QString sRutaApp;
    QString sConexion = QStringLiteral("FoxPro 2.5;");
    QString sUnidadA;  // the delivery drive "A:" as a folder
    QString sOrigenUnidad;  // where the drive was taken from, for the system information
    QString sFaltantes;
    std::vector<ControlCampo*> colCampos;
    ServicioMensajes* mensajes = nullptr;
    ServicioCorreo* correo = nullptr;
};

}  // namespace lorum
