#include "ControlCampo.h"

#include <QStatusBar>
#include <QVBoxLayout>

namespace lorum {

ControlCampo::ControlCampo(QWidget* padre) : QWidget(padre) {}

void ControlCampo::Envuelve(QWidget* interior) {
    auto* capa = new QVBoxLayout(this);
    capa->setContentsMargins(0, 0, 0, 0);
    capa->addWidget(interior);
    setFocusProxy(interior);
}

void ControlCampo::Creado() { emit CreadoEvento(); }

void ControlCampo::setWidthcmb(int ancho) { setMinimumWidth(ancho); }

void ControlCampo::EscribeBarra(const QString& texto) const {
    if (barra_) barra_->showMessage(texto);
}

void ControlCampo::AvisaFocoGanado() {
    AlGanarFoco();
    if (UsaBarra()) EscribeBarra(sTextoBarra);
    emit GotFocus();
}

void ControlCampo::AvisaFocoPerdido() {
    AlPerderFoco();
    if (UsaBarra()) EscribeBarra(QString());
    emit LostFocus();
}

}  // namespace lorum
