#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace lorum {

class ServicioCorreo;
class ServicioMensajes;

// Where comments go, and their subject.
inline constexpr char16_t kDireccionComentarios[] = u"comentarios@lorum.example";
inline constexpr char16_t kAsuntoComentarios[] = u"Comentarios sobre el disco de captura LORUM";

// The comments window: the user's message goes to the fixed address through the mail service. The
// window closes only once the message is sent; otherwise the user is told why, with the address to
// write to, and the text stays.
class DlgMail : public QDialog {
    Q_OBJECT
  public:
    DlgMail(ServicioCorreo& correo, ServicioMensajes& mensajes, QWidget* padre = nullptr);

    void cmdSendMail_Click();

    QLabel* Label1;
    QPlainTextEdit* TxtMsg;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label2;
    QPushButton* cmdSendMail;
    QPushButton* CancelButton;

  private:
    ServicioCorreo& correo_;
    ServicioMensajes& mensajes_;
};

}  // namespace lorum
