#pragma once

#include <QString>
#include <functional>

namespace lorum {

class ServicioMensajes;

// Runs every user command: a table-engine error (or any other exception) ends that command with its
// message and the program keeps running. No exception crosses a Qt signal.
class Despachador {
public:
    explicit Despachador(ServicioMensajes& mensajes) : mensajes_(mensajes) {}
    // True when the command ran to its end.
    bool Ejecuta(const std::function<void()>& comando) const;

private:
    ServicioMensajes& mensajes_;
};

}  // namespace lorum
