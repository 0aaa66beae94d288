#pragma once

#include "ControlCampo.h"

#include <QCheckBox>

namespace lorum {

// Check-box field (inner box Check). With sEsCaracter it exchanges "S"/"N" with the tables; any
// change of its state, by the user, Valor or Limpia, raises Click.
class ControlChk : public ControlCampo {
    Q_OBJECT
public:
    explicit ControlChk(QWidget* padre = nullptr);
    QString Tipo() const override { return QStringLiteral("ControlChk"); }

    bool sEsCaracter = true;

    void Limpia() override;
    QString VerificaDato(const QString& objName = {}) const override;
    void setWidthcmb(int ancho) override;
    void setDatoTxt(const QVariant& caption);
    void setTips(const QVariant& tips) override;
    void setValor(const QVariant& valor);
    QVariant ValorChk() const;
    QVariant Valor() const override { return ValorChk(); }
    void PonValor(const QVariant& valor) override { setValor(valor); }
    int Estado() const;  // 0 unmarked, 1 marked, 2 grey
    QWidget* Interior() const override { return Check; }

    QCheckBox* Check;

protected:
    bool UsaBarra() const override { return false; }  // a check field leaves the status line alone

private:
    void PonEstado(int estado);
};

}  // namespace lorum
