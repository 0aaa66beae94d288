#include "frmayuda.h"

#include "Resguardo.h"
#include "DocumentoRtf.h"
#include "ServicioMensajes.h"
#include "ServiciosImpresion.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextEdit>

namespace lorum {

namespace {

constexpr int kAnchoBoton = 1215, kAltoBoton = 375;  // twips

}  // namespace

frmayuda::frmayuda(const QString& archivo, ServicioMensajes& mensajes, QWidget* padre)
    : QDialog(padre),
      RTUltima(new QTextEdit(this)),
      cmdImprimir(new QPushButton(this)),
      Command(new QPushButton(QStringLiteral("&Cerrar"), this)),
      mensajes_(mensajes) {
    setObjectName(QStringLiteral("frmayuda"));
    setWindowTitle(QStringLiteral("Consideraciones para el llenado de la Solicitud"));
    setSizeGripEnabled(true);
    RTUltima->setObjectName(QStringLiteral("RTUltima"));
    RTUltima->setReadOnly(true);
    // Read-only, yet the reader can move through the text and select it from the keyboard.
    RTUltima->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RTUltima->setAccessibleName(QStringLiteral("Consideraciones para el llenado"));
    RTUltima->setTabChangesFocus(true);
    cmdImprimir->setObjectName(QStringLiteral("cmdImprimir"));
    Command->setObjectName(QStringLiteral("Command"));
    cmdImprimir->setText(QStringLiteral("&Imprime"));

    // The box first wraps at the printed line width, as the page will; the window's layout then sets
    // the wrapping inside the box, as every resize does.
    RTUltima->setLineWrapMode(QTextEdit::FixedPixelWidth);
    {
        QPrinter impresora(QPrinter::HighResolution);
        RTUltima->setLineWrapColumnOrWidth(Px(AnchoDeLinea(LeeImpresora(impresora), 180, 180)));
    }
    resize(Px(9600), Px(7200));
    Acomoda();
    rtf_ = LeeArchivoRtf(archivo);
    LlenaDocumento(*RTUltima->document(), rtf_, RTUltima->logicalDpiX());
    RTUltima->moveCursor(QTextCursor::Start);

    EligeImpresora = [this](QPrinter& impresora, bool seleccion) {
        QPrintDialog dialogo(&impresora, this);
        dialogo.setOption(QAbstractPrintDialog::PrintSelection, seleccion);
        impresora.setPrintRange(seleccion ? QPrinter::Selection : QPrinter::AllPages);
        return dialogo.exec() == QDialog::Accepted;
    };
    connect(cmdImprimir, &QPushButton::clicked, this, [this] { Resguarda(&mensajes_, [this] { ImprimeConsideraciones(); }); });
    connect(Command, &QPushButton::clicked, this, &QDialog::close);
    RTUltima->setFocus();
}

int frmayuda::Px(int twips) const {
    return qRound(twips * logicalDpiX() / 1440.0);
}

void frmayuda::resizeEvent(QResizeEvent* evento) {
    QDialog::resizeEvent(evento);
    Acomoda();
}

void frmayuda::Acomoda() {
    const int w = width(), h = height();
    const int margen = Px(100);
    RTUltima->setGeometry(margen, margen, std::max(0, w - Px(200)), std::max(0, h - Px(1000)));
    RTUltima->setLineWrapColumnOrWidth(std::max(1, RTUltima->width() - Px(400)));
    const int top = h - Px(700), bw = Px(kAnchoBoton), bh = Px(kAltoBoton);
    Command->setGeometry(w - margen - bw, top, bw, bh);
    cmdImprimir->setGeometry(w - margen - 2 * bw - Px(120), top, bw, bh);
}

void frmayuda::ImprimeConsideraciones() {
    // The whole text is selected and printed, whatever range the dialog shows.
    RTUltima->selectAll();
    QPrinter impresora(QPrinter::HighResolution);
    if (!EligeImpresora || !EligeImpresora(impresora, !RTUltima->document()->isEmpty())) return;
    QTextDocument copia;
    copia.setDefaultFont(RTUltima->document()->defaultFont());
    LlenaDocumento(copia, rtf_, ResolucionDeTexto(), impresora.logicalDpiX());
    if (ImprimeRTF(copia, impresora, 620, 620, 620, 420) == 0)
        mensajes_.Muestra(QStringLiteral("No se pudo imprimir: la impresora no respondió."),
                          QStringLiteral("Consideraciones"), ServicioMensajes::Botones::Aceptar,
                          ServicioMensajes::Icono::Exclamacion);
}

}  // namespace lorum
