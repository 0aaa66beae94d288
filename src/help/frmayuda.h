#pragma once

#include "LectorRtf.h"

#include <QDialog>
#include <functional>

class QPrinter;
class QPushButton;
class QTextEdit;

namespace lorum {

class ServicioMensajes;

// The considerations window: the filling instructions of considera.rtf, read anew at each opening, in
// a rich-text box that wraps inside the window, printed whole with "&Imprime". A missing or unreadable
// file leaves the box empty, without a message.
class frmayuda : public QDialog {
    Q_OBJECT
  public:
    frmayuda(const QString& archivo, ServicioMensajes& mensajes, QWidget* padre = nullptr);

    void ImprimeConsideraciones();

    QTextEdit* RTUltima;
    QPushButton* cmdImprimir;
    QPushButton* Command;

    // The print dialog: true when a printer was chosen; `seleccion` offers the print range "selection"
    // (the whole text) when there is text. Tests choose a PDF file.
    std::function<bool(QPrinter&, bool seleccion)> EligeImpresora;

  protected:
    void resizeEvent(QResizeEvent* evento) override;

  private:
    int Px(int twips) const;
    void Acomoda();

    DocumentoRtf rtf_;  // printing lays it out anew for the printer
    ServicioMensajes& mensajes_;
};

}  // namespace lorum
