#pragma once

#include "ServicioCorreo.h"

#include <functional>

namespace lorum {

// Windows's mail service: the message goes to the mail program the system names, through Simple MAPI
// (`MAPISendMailW`, else `MAPISendMail`, from the library loaded when sending), without the mail
// program's own window. While it works the program keeps painting; user input waits.
class CorreoMapi : public ServicioCorreo {
  public:
    // `biblioteca`: the Simple MAPI library; `hayPrograma`: whether the system names a mail program.
    explicit CorreoMapi(QString biblioteca = QStringLiteral("mapi32.dll"),
                        std::function<bool()> hayPrograma = ProgramaDeCorreoRegistrado);
    bool Envia(const QString& destinatario, const QString& asunto, const QString& cuerpo,
               QString* motivo) override;

    // The mail program the user or the machine chose (Software\Clients\Mail), if any.
    static bool ProgramaDeCorreoRegistrado();

  private:
    QString biblioteca_;
    std::function<bool()> hayPrograma_;
};

}  // namespace lorum
