#pragma once

#include "ServicioMensajes.h"

class QWidget;

namespace lorum {

// Message boxes through QMessageBox, with Spanish buttons; an empty title is the application's.
class MensajesQt : public ServicioMensajes {
public:
    Respuesta Muestra(const QString& texto, const QString& titulo, Botones botones, Icono icono) override;
};

}  // namespace lorum
