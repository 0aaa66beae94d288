#include "ControlChk.h"


namespace lorum {

ControlChk::ControlChk(QWidget* padre) : ControlCampo(padre), Check(new QCheckBox(this)) {
    Check->setObjectName(QStringLiteral("Check"));
    Envuelve(Check);
    connect(Check, &QCheckBox::clicked, this, &ControlChk::Click);
    connect(Check, &QCheckBox::stateChanged, this, &ControlCampo::Cambio);
}

int ControlChk::Estado() const {
    switch (Check->checkState()) {
        case Qt::Unchecked: return 0;
        case Qt::Checked: return 1;
        default: return 2;
    }
}

void ControlChk::PonEstado(int estado) {
    if (estado == Estado()) return;
    if (estado == 2) Check->setTristate(true);
    Check->setCheckState(estado == 0 ? Qt::Unchecked : estado == 1 ? Qt::Checked : Qt::PartiallyChecked);
    emit Click();  // a stored value runs the host's click rules, as a click would
}

void ControlChk::Limpia() {
    PonEstado(0);
    emit LimpiaEvento();
}

QString ControlChk::VerificaDato(const QString&) const {
    if (bAceptaNulos) return {};
    return Estado() == 0 ? NombreCampo : QString();
}

void ControlChk::setWidthcmb(int ancho) { Check->setMinimumWidth(ancho); }

void ControlChk::setDatoTxt(const QVariant& caption) {
    const QString texto = caption.isValid() && !caption.isNull() ? caption.toString() : QString();
    Check->setText(texto);
    Check->setAccessibleName(QString(texto).remove(QLatin1Char('&')));
}

void ControlChk::setTips(const QVariant& tips) {
    const QString texto = tips.isValid() && !tips.isNull() ? tips.toString() : QString();
    Check->setToolTip(texto);
    Check->setAccessibleDescription(texto);
    setAccessibleDescription(texto);
}

void ControlChk::setValor(const QVariant& valor) {
    const bool nulo = !valor.isValid() || valor.isNull();
    if (sEsCaracter) {
        PonEstado(nulo || valor.toString() == QLatin1String("N") ? 0 : 1);
    } else {
        PonEstado(nulo ? 0 : std::clamp(valor.toInt(), 0, 2));
    }
}

QVariant ControlChk::ValorChk() const {
    if (sEsCaracter) return QString(Estado() == 1 ? QStringLiteral("S") : QStringLiteral("N"));
    return Estado();
}

}  // namespace lorum
