#include "Despachador.h"

#include "Resguardo.h"

namespace lorum {

bool Despachador::Ejecuta(const std::function<void()>& comando) const { return Resguarda(&mensajes_, comando); }

}  // namespace lorum
