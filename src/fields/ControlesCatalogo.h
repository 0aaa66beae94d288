#pragma once

#include "ControlCampo.h"
#include "OrigenDatos.h"

#include <QComboBox>
#include <QListWidget>
#include <array>
#include <vector>

namespace lorum {

// What the two catalog pickers share: the catalog source, the column names split from
// sListaCampos, the column table of the filled entries, the hidden key box and the key readers.
class ControlCatalogo : public ControlCampo {
    Q_OBJECT
public:
    ControlCatalogo(int capacidad, QWidget* padre);

    // Catalog source and bindings, written by the host.
    QString Connect;
    QString DatabaseName;
    QString RecordSource;
    QString DataField;
    QString DataTableField;
    QString Datamember;
    QString Caption;

    // Fills the entries from the catalog, in record order; stops at the capacity and reports it.
    void Llenadato();
    // Chooses the first entry any of whose columns equals the key box exactly.
    void EligeCampo();
    qint16 GetNumLlave(qint16& CmbNumero) const;
    QString GetStrLlave(qint16& CmbNumero) const;
    void setDatoTxt(const QVariant& valor);
    // The key of column nColumnaLlave of the chosen entry; put as a key, the entry it names is chosen.
    qint16 nColumnaLlave = 0;
    QVariant Valor() const override;
    void PonValor(const QVariant& valor) override;
    QString VerificaDato(const QString& objName = {}) const override;

    virtual QString Text() const = 0;
    virtual void setText(const QString& texto) = 0;

    // The column names and table, for inspection.
    const std::array<QString, 5>& Columnas() const { return columnas_; }
    int UltimoRenglon() const { return ultimo_; }
    int NumRenglones() const { return int(tabla_.size()); }

    // Splits a column list: up to four names before commas, the rest as the last.
    static std::array<QString, 5> Divide(const QString& lista);

protected:
    virtual void VaciaVisible() = 0;
    virtual void AgregaVisibles(const QStringList& textos) = 0;  // at once: one insertion for the whole list
    virtual QString TextoDeEntrada(const Cursor& registros) const = 0;
    virtual void Escoge(int renglon) = 0;

    int capacidad_;
    std::array<QString, 5> columnas_;
    std::vector<std::array<QString, 5>> tabla_;
    int ultimo_ = 0;
    QString llave_;  // the hidden key box
    OrigenDatos origen_;
};

// The inner combo of ControlCmb. It tells a choice made in its list, with the arrow keys or the wheel
// from the combo's own matching of typed text, which is no choice.
class CajaCombo : public QComboBox {
    Q_OBJECT
public:
    explicit CajaCombo(QWidget* padre = nullptr);
    bool Eligiendo() const { return eligiendo_; }
    void showPopup() override;
    void hidePopup() override;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    bool eligiendo_ = false;
};

// Drop-down catalog combo (inner combo cmbData); holds at most 1001 entries. Typing into it clears
// the choice (nLista -1); a typed text is no choice until an entry is chosen, and with no choice no
// entry is current, so the first Down arrow chooses the first entry.
class ControlCmb : public ControlCatalogo {
    Q_OBJECT
public:
    explicit ControlCmb(QWidget* padre = nullptr);
    QString Tipo() const override { return QStringLiteral("ControlCmb"); }
    void Limpia() override;
    void setWidthcmb(int ancho) override;
    void setTips(const QVariant& tips) override;
    QString Text() const override;
    void setText(const QString& texto) override;
    QWidget* Interior() const override { return cmbData; }

    CajaCombo* cmbData;

protected:
    void VaciaVisible() override;
    void AgregaVisibles(const QStringList& textos) override;
    QString TextoDeEntrada(const Cursor& registros) const override;
    void Escoge(int renglon) override;

private:
    bool escogiendo_ = false;
    bool elegidoAhora_ = false;
};

// Catalog list (inner list LstData); holds at most 2001 entries. The host takes the highlighted
// entry by calling Click().
class ControlLst : public ControlCatalogo {
    Q_OBJECT
public:
    explicit ControlLst(QWidget* padre = nullptr);
    QString Tipo() const override { return QStringLiteral("ControlLst"); }
    void Limpia() override;
    void ClickOperacion();
    void setWidthcmb(int ancho) override;
    void setTips(const QVariant& tips) override;
    QString Text() const override;
    void setText(const QString& texto) override;
    QWidget* Interior() const override { return LstData; }

    QListWidget* LstData;

signals:
    void DblClick();
    void KeyPress(int& keyAscii);

protected:
    void VaciaVisible() override;
    void AgregaVisibles(const QStringList& textos) override;
    QString TextoDeEntrada(const Cursor& registros) const override;
    void Escoge(int renglon) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;
};

}  // namespace lorum
