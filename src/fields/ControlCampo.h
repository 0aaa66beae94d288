#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>

class QStatusBar;

namespace lorum {

class ServicioMensajes;

// What every field control of the capture form shares: the attributes the host writes, the
// operations Creado, Limpia and VerificaDato, and the events raised to the host. The host writes the
// field's settings in its answer to Creado. Validar is raised by the focus guard before the focus may
// leave the field; setting the flag keeps the focus there.
class ControlCampo : public QWidget {
    Q_OBJECT
public:
    explicit ControlCampo(QWidget* padre = nullptr);

    // Kind name used by the form-wide walks: "ControldfTxt", "ControlTxtMl", "ControlChk",
    // "ControlCmb" or "ControlLst".
    virtual QString Tipo() const = 0;

    qint16 nLista = 0;
    bool bAceptaNulos = true;
    QString sListaCampos;
    QString NombreCampo;
    QString sTextoBarra;
    qint16 nMaxLen = 0;

    void Creado();
    virtual void Limpia() = 0;
    // NombreCampo when the field is required and empty, otherwise empty. The argument is not used.
    virtual QString VerificaDato(const QString& objName = {}) const = 0;

    // The value the tables exchange with the field (a text, "S"/"N", a catalog key), read and put
    // as the form's load puts it; putting runs no lost-focus rule.
    virtual QVariant Valor() const = 0;
    virtual void PonValor(const QVariant& valor) = 0;

    virtual void setWidthcmb(int ancho);
    virtual void setTips(const QVariant& tips) = 0;
    void setEnabled(bool habilitado) { QWidget::setEnabled(habilitado); }

    // Where the status-line hint goes, and where a field reports what it must (a full catalog).
    void PonBarraEstado(QStatusBar* barra) { barra_ = barra; }
    void PonMensajes(ServicioMensajes* mensajes) { mensajes_ = mensajes; }

    // Called by the focus guard.
    void AvisaFocoGanado();
    void AvisaFocoPerdido();

    // The widget inside that takes the focus.
    virtual QWidget* Interior() const = 0;

signals:
    void Click();
    void CreadoEvento();
    void LimpiaEvento();
    void GotFocus();
    void LostFocus();
    void Validar(bool& cancelar);
    // The value changed, by the user or by the program.
    void Cambio();

protected:
    // Lays the inner widget over the whole control and lets it take the control's focus.
    void Envuelve(QWidget* interior);
    void EscribeBarra(const QString& texto) const;
    virtual void AlGanarFoco() {}
    virtual void AlPerderFoco() {}
    virtual bool UsaBarra() const { return true; }
    QStatusBar* barra_ = nullptr;
    ServicioMensajes* mensajes_ = nullptr;
};

}  // namespace lorum
