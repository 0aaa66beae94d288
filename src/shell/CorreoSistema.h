#pragma once

#include "ServicioCorreo.h"

#include <memory>

namespace lorum {

// The system's own mail service (CorreoSistema_posix.cpp: sendmail; CorreoSistema_win.cpp: Simple MAPI).
std::unique_ptr<ServicioCorreo> CorreoDelSistema();

}  // namespace lorum
