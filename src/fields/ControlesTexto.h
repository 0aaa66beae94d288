#pragma once

#include "ControlCampo.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <functional>

namespace lorum {

// Key handling shared by the text fields: a character key (and Backspace, Enter, Escape) becomes
// its upper-case form under the user's locale, is offered to the host by reference, and is dropped
// when the host sets it to 0. Other keys (arrows, Delete) pass untouched. Text that comes without a
// key (an input method's commit, as an accent typed with a dead key; a paste; a drop) goes through
// the same, character by character.
namespace teclas {
int CodigoDe(const QKeyEvent* evento);  // -1 for keys that raise no key event
int CodigoDeCaracter(const QString& texto);  // one printable character, upper-cased; -1 otherwise
QKeyEvent ConCodigo(const QKeyEvent* evento, int codigo);
// `texto` as the keys would have typed it: upper-cased, each character offered to `alTeclear`;
// line ends only with `variasLineas` (as Enter, code 13), kept as LF.
QString Filtra(const QString& texto, const std::function<void(int&)>& alTeclear, bool variasLineas);
}  // namespace teclas

class CajaTexto : public QLineEdit {
public:
    explicit CajaTexto(QWidget* padre) : QLineEdit(padre) {}
    std::function<void(int&)> alTeclear;

protected:
    void keyPressEvent(QKeyEvent* evento) override;
    void inputMethodEvent(QInputMethodEvent* evento) override;
    void contextMenuEvent(QContextMenuEvent* evento) override;
    void dropEvent(QDropEvent* evento) override;

private:
    void PegaFiltrado(const QString& texto);
};

class CajaTextoMl : public QPlainTextEdit {
public:
    explicit CajaTextoMl(QWidget* padre) : QPlainTextEdit(padre) {}
    std::function<void(int&)> alTeclear;
    int maxLength = 0;  // 0: no limit

protected:
    void keyPressEvent(QKeyEvent* evento) override;
    void inputMethodEvent(QInputMethodEvent* evento) override;
    void insertFromMimeData(const QMimeData* datos) override;

private:
    qsizetype Cabe() const;  // characters that still fit, the selection counted as replaced
};

// Base of the two text fields: focus colours, select-all on entry, status-line hint.
class ControlTextoBase : public ControlCampo {
    Q_OBJECT
public:
    using ControlCampo::ControlCampo;
    QString VerificaDato(const QString& objName = {}) const override;
    virtual QString Text() const = 0;
    QVariant Valor() const override { return Text(); }

protected:
    void PintaFoco(bool conFoco);

public:
    // A warning colour for the box while it does not have the focus (the focus colours win).
    void PonAviso(bool aviso);
    bool aviso() const { return aviso_; }

private:
    bool aviso_ = false;
};

// Single-line text field (inner box dfTxt).
class ControldfTxt : public ControlTextoBase {
    Q_OBJECT
public:
    explicit ControldfTxt(QWidget* padre = nullptr);
    QString Tipo() const override { return QStringLiteral("ControldfTxt"); }
    void Limpia() override;
    void setWidthcmb(int ancho) override;
    void setMaxLength(int maximo);  // 0: no limit
    void setDatoTxt(const QVariant& valor);
    void PonValor(const QVariant& valor) override { setDatoTxt(valor); }
    void setTips(const QVariant& tips) override;
    QString Text() const override;
    QWidget* Interior() const override { return dfTxt; }

    CajaTexto* dfTxt;

signals:
    void KeyPress1(int& keyAscii);

protected:
    void AlGanarFoco() override;
    void AlPerderFoco() override;
};

// Multi-line text field (inner box dfTxtMl); its text uses CR LF between lines.
class ControlTxtMl : public ControlTextoBase {
    Q_OBJECT
public:
    explicit ControlTxtMl(QWidget* padre = nullptr);
    QString Tipo() const override { return QStringLiteral("ControlTxtMl"); }
    void Limpia() override;
    void setWidthcmb(int ancho) override;
    void setMaxLength(int maximo);
    void setDatoTxt(const QVariant& valor);
    void PonValor(const QVariant& valor) override { setDatoTxt(valor); }
    void setTips(const QVariant& tips) override;
    QString Text() const override;
    QWidget* Interior() const override { return dfTxtMl; }

    CajaTextoMl* dfTxtMl;

signals:
    void KeyPress(int& keyAscii);

protected:
    void AlGanarFoco() override;
    void AlPerderFoco() override;
};

}  // namespace lorum
