#include "CorreoSistema.h"

#include "CorreoSendmail.h"

namespace lorum {

std::unique_ptr<ServicioCorreo> CorreoDelSistema() { return std::make_unique<CorreoSendmail>(); }

}  // namespace lorum
