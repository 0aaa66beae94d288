#pragma once

#include <QString>

namespace lorum {

// Every message box of the program goes through this service: text, title, buttons and icon in, the
// button chosen out. An empty title stands for the application's title. The program uses the Qt
// implementation; tests answer from a script. Escape and the window's close button give the harmless
// answer: Aceptar, Cancelar, or No for a Yes/No question; `SiNoSinEscape` is a question both of
// whose answers change the data, which Escape and the close button leave open.
class ServicioMensajes {
public:
    enum class Botones { Aceptar, AceptarCancelar, SiNo, SiNoCancelar, SiNoSinEscape };
    enum class Icono { Ninguno, Informacion, Pregunta, Exclamacion, Critico };
    enum class Respuesta { Aceptar, Si, No, Cancelar };

    virtual ~ServicioMensajes() = default;
    virtual Respuesta Muestra(const QString& texto, const QString& titulo, Botones botones, Icono icono) = 0;
};

}  // namespace lorum
