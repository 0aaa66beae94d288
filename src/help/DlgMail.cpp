#include "DlgMail.h"

#include "Resguardo.h"
#include "PunteroOcupado.h"
#include "ServicioCorreo.h"
#include "ServicioMensajes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lorum {

DlgMail::DlgMail(ServicioCorreo& correo, ServicioMensajes& mensajes, QWidget* padre)
    : QDialog(padre), correo_(correo), mensajes_(mensajes) {
    setObjectName(QStringLiteral("DlgMail"));
    setWindowTitle(QStringLiteral("Comentarios"));
    Label1 = new QLabel(QStringLiteral("Tu &mensaje:"), this);
    TxtMsg = new QPlainTextEdit(this);
    TxtMsg->setObjectName(QStringLiteral("TxtMsg"));
    TxtMsg->setAccessibleName(QStringLiteral("Tu mensaje"));
    TxtMsg->setTabChangesFocus(true);
    Label1->setBuddy(TxtMsg);
    Label3 = new QLabel(
        QStringLiteral("Envíenos un \"email\" directamente con su mensaje y ademas explique brevemente la "
                       "naturaleza del problema que confrontó a:"),
        this);
    Label4 = new QLabel(QString::fromUtf16(kDireccionComentarios), this);
    Label4->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Label2 = new QLabel(
        QStringLiteral("Nota: Si por alguna razón al tratar de enviar información mediante esta aplicación "
                       "no funciona o sale error ..."),
        this);
    for (QLabel* l : {Label1, Label3, Label4, Label2}) l->setWordWrap(true);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3->setObjectName(QStringLiteral("Label3"));
    Label4->setObjectName(QStringLiteral("Label4"));
    cmdSendMail = new QPushButton(QStringLiteral("Enviar"), this);
    cmdSendMail->setObjectName(QStringLiteral("cmdSendMail"));
    CancelButton = new QPushButton(QStringLiteral("Cancelar"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    auto* capa = new QVBoxLayout(this);
    capa->addWidget(Label1);
    capa->addWidget(TxtMsg, 1);
    capa->addWidget(Label2);
    capa->addWidget(Label3);
    capa->addWidget(Label4);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdSendMail);
    botones->addWidget(CancelButton);
    capa->addLayout(botones);
    resize(480, 380);

    connect(cmdSendMail, &QPushButton::clicked, this, [this] { Resguarda(&mensajes_, [this] { cmdSendMail_Click(); }); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::close);
    TxtMsg->setFocus();
}

void DlgMail::cmdSendMail_Click() {
    QString motivo;
    bool enviado = false;
    {
        // The window waits, disabled, while the mail service works; the program keeps painting.
        PunteroOcupado ocupado;
        setEnabled(false);
        enviado = correo_.Envia(QString::fromUtf16(kDireccionComentarios),
                                QString::fromUtf16(kAsuntoComentarios), TxtMsg->toPlainText(), &motivo);
        setEnabled(true);
    }
    if (enviado) {
        close();
        return;
    }
    mensajes_.Muestra(
        QStringLiteral("No se pudo enviar su mensaje: %1.\n\nEscríbanos directamente a %2; su texto sigue en "
                       "la ventana para que pueda copiarlo.")
            .arg(motivo, QString::fromUtf16(kDireccionComentarios)),
        QStringLiteral("Comentarios"), ServicioMensajes::Botones::Aceptar,
        ServicioMensajes::Icono::Exclamacion);
    TxtMsg->setFocus();  // back to the text, to mend or copy it
}

}  // namespace lorum
