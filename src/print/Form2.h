#pragma once

#include "FormaImpresa.h"

#include <QDialog>
#include <functional>

class QPrinter;
class QPushButton;
class QTextEdit;

namespace lorum {

class ServicioMensajes;

// The print window "Impresión": the printed request in a fixed-pitch viewer, "Vista Previa" (once per
// opening), "&Imprimir" (the platform's print dialog, then the whole text) and "Cerrar". The text is
// built anew from the tables each time.
class Form2 : public QDialog {
    Q_OBJECT
public:
    Form2(const QString& datos, const TextosDeForma& textos, ServicioMensajes& mensajes, QWidget* padre = nullptr);

    FormaImpresa FormateaInf() const;
    void VistaPrevia();
    void Imprime();
    // "Guardar PDF...": the same pages as Imprime, written to a PDF file the user names.
    void GuardaPdf();

    QTextEdit* rtfText;
    QPushButton* Command1;  // "&Imprimir"
    QPushButton* Command2;  // "Cerrar"
    QPushButton* Command3;  // "Vista Previa"
    QPushButton* Command4;  // "Guardar &PDF..."

    // The print dialog: true when a printer was chosen (tests choose a PDF file). The day printed.
    std::function<bool(QPrinter&)> EligeImpresora;
    std::function<QDate()> Reloj = [] { return QDate::currentDate(); };
    // The file chooser of "Guardar PDF...", given the proposed path; empty when cancelled.
    std::function<QString(const QString& propuesto)> EligePdf;
    // solicitud-<RFC>-<date>.pdf in the user's documents folder.
    QString NombrePdf() const;

private:
    bool Muestra();  // builds the text and shows it with its header centred; false when incomplete
    // The shown text on `impresora`, then "Impresión realizada" or what failed.
    void ImprimeEn(QPrinter& impresora, const QString& fallo);

    std::vector<std::pair<int, int>> bloques_;
    QString datos_;
    TextosDeForma textos_;
    ServicioMensajes& mensajes_;
};

}  // namespace lorum
