#pragma once

#include "ServicioCorreo.h"

#include <QDateTime>

namespace lorum {

// The mail service of a Unix machine: the message goes to `sendmail -t -oi` (any mail transfer agent
// installs one), which queues it for delivery. While it runs the program keeps painting (user input
// waits), for at most `limite` milliseconds.
class CorreoSendmail : public ServicioCorreo {
  public:
    explicit CorreoSendmail(int limite = 60000) : limite_(limite) {}
    bool Envia(const QString& destinatario, const QString& asunto, const QString& cuerpo,
               QString* motivo) override;

  private:
    int limite_;
};

// The message as sendmail takes it: headers (the subject encoded when it is not plain ASCII), UTF-8
// plain text, the body in base64 so every character and line arrives as typed.
QByteArray MensajeCorreo(const QString& destinatario, const QString& asunto, const QString& cuerpo,
                         const QDateTime& fecha);

}  // namespace lorum
