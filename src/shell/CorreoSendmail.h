#pragma once

#include "ServicioCorreo.h"

#include <QDateTime>

namespace lorum {

// The mail service of a Unix machine: the message goes to `sendmail -t -oi` (any mail transfer agent
// installs one), which queues it for delivery.
class CorreoSendmail : public ServicioCorreo {
  public:
    bool Envia(const QString& destinatario, const QString& asunto, const QString& cuerpo,
               QString* motivo) override;
};

// The message as sendmail takes it: headers (the subject encoded when it is not plain ASCII), UTF-8
// plain text, the body in base64 so every character and line arrives as typed.
QByteArray MensajeCorreo(const QString& destinatario, const QString& asunto, const QString& cuerpo,
                         const QDateTime& fecha);

}  // namespace lorum
