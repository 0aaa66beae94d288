#pragma once

#include <QString>

namespace lorum {

// The platform's mail service: sends one plain-text message. Tests replace it.
class ServicioCorreo {
  public:
    virtual ~ServicioCorreo() = default;
    // True when the message was handed to the mail service; otherwise false with the reason, in
    // Spanish, in *motivo.
    virtual bool Envia(const QString& destinatario, const QString& asunto, const QString& cuerpo,
                       QString* motivo) = 0;
};

}  // namespace lorum
