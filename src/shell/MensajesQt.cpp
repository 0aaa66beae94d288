#include "MensajesQt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

namespace lorum {

namespace {

// A box that Escape, the close button and the window manager's close cannot answer.
class CajaSinEscape : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool sinEscape = false;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (sinEscape && e->matches(QKeySequence::Cancel)) return e->accept();
        QMessageBox::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent* e) override {
        if (sinEscape && !clickedButton()) return e->ignore();
        QMessageBox::closeEvent(e);
    }
};

}  // namespace

ServicioMensajes::Respuesta MensajesQt::Muestra(const QString& texto, const QString& titulo, Botones botones, Icono icono) {
    // Over the active window, or over the main window while it is not active yet.
    QWidget* padre = QApplication::activeWindow();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (!padre && w->isVisible() && w->inherits("QMainWindow")) padre = w;
    CajaSinEscape caja(padre);
    caja.setText(texto);
    caja.setWindowTitle(titulo.isEmpty() ? QApplication::applicationName() : titulo);
    switch (icono) {
        case Icono::Ninguno: caja.setIcon(QMessageBox::NoIcon); break;
        case Icono::Informacion: caja.setIcon(QMessageBox::Information); break;
        case Icono::Pregunta: caja.setIcon(QMessageBox::Question); break;
        case Icono::Exclamacion: caja.setIcon(QMessageBox::Warning); break;
        case Icono::Critico: caja.setIcon(QMessageBox::Critical); break;
    }
    QPushButton* si = nullptr;
    QPushButton* no = nullptr;
    QPushButton* cancelar = nullptr;
    QPushButton* aceptar = nullptr;
    switch (botones) {
        case Botones::Aceptar:
            aceptar = caja.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
            caja.setEscapeButton(aceptar);
            break;
        case Botones::AceptarCancelar:
            aceptar = caja.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
            cancelar = caja.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
            caja.setEscapeButton(cancelar);
            break;
        case Botones::SiNo:
            si = caja.addButton(QStringLiteral("&Sí"), QMessageBox::YesRole);
            no = caja.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
            caja.setEscapeButton(no);
            break;
        case Botones::SiNoSinEscape:
            si = caja.addButton(QStringLiteral("&Sí"), QMessageBox::YesRole);
            no = caja.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
            caja.sinEscape = true;
            break;
        case Botones::SiNoCancelar:
            si = caja.addButton(QStringLiteral("&Sí"), QMessageBox::YesRole);
            no = caja.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
            cancelar = caja.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
            caja.setEscapeButton(cancelar);
            break;
    }
    caja.setDefaultButton(si ? si : aceptar);
    caja.exec();
    const auto* pulsado = caja.clickedButton();
    if (pulsado == si && si) return Respuesta::Si;
    if (pulsado == no && no) return Respuesta::No;
    if (pulsado == cancelar && cancelar) return Respuesta::Cancelar;
    if (pulsado == aceptar && aceptar) return Respuesta::Aceptar;
    return botones == Botones::Aceptar ? Respuesta::Aceptar : botones == Botones::SiNo ? Respuesta::No : Respuesta::Cancelar;
}

}  // namespace lorum
