#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>

#include "Cursor.h"
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

namespace lorum {

class OrigenDatos;
struct EstadoInicia;

// The rows of a data source for a grid, held in memory: one row per live record, in table order,
// each keeping its record's bookmark, and when allowed a new-row line at the bottom. Painting and
// scrolling read only this copy; Relee() reads the source again. Writes go through the table engine
// to the file at once (Guarda).
class ModeloOrigen : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeloOrigen(QObject* padre = nullptr) : QAbstractTableModel(padre) {}
    void Liga(OrigenDatos* origen);
    void Relee();
    OrigenDatos* origen() const { return origen_; }

    int NumRegistros() const { return int(marcas_.size()); }
    bool EsNueva(int fila) const { return agrega_ && fila == NumRegistros(); }
    qint64 MarcaDe(int fila) const { return marcas_.at(size_t(fila)); }
    int FilaDe(qint64 marca) const;  // -1 when the record is not shown
    QVariant Valor(int fila, int columna) const;  // the stored value; absent on the new-row line
    int AnchoDe(int columna) const;              // the field's declared width
    bool EsNumerica(int columna) const;

    // Whether the new-row line is offered.
    void PermiteAgregar(bool permite);
    bool permiteAgregar() const { return agrega_; }
    void PonEditable(int columna, bool editable);
    // A heading of the grid's own, kept across re-reads (the field's name otherwise).
    void PonEncabezado(int columna, const QString& texto);

    // Writes cells of one row through the engine, all of them or none; on the new-row line the
    // record is appended and a new line offered below. Returns the row written. Throws ErrorTabla,
    // and the row keeps its stored values.
    int Guarda(int fila, const std::vector<std::pair<int, QVariant>>& celdas);

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int papel) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int papel) const override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;

private:
    std::vector<QVariant> LeeRegistro(qint64 marca) const;
    const std::vector<QVariant>& Fila(int fila) const;

    OrigenDatos* origen_ = nullptr;
    std::vector<qint64> marcas_;
    // Rows are read from the table when shown, through a cursor of their own: a long request keeps
    // its records once, in the engine, and the grid only those it has shown lately.
    mutable std::unique_ptr<Cursor> lector_;
    mutable std::unordered_map<int, std::vector<QVariant>> leidas_;
    QStringList encabezados_;
    std::vector<int> anchos_;
    std::vector<bool> numericas_;
    std::map<int, QString> propios_;
    std::set<int> soloLectura_;
    bool agrega_ = false;
};

// A grid bound to a data source and edited in place. Each committed cell is checked by the host
// (AfterColEdit) and written through the table engine before the next key is handled; a value the
// table cannot hold is refused with the engine's message and the row keeps its old value. Rows are
// selected only by command or row header. Every notification to the host runs through the program's
// one guard, so an engine failure ends with its message and the program goes on.
class RejillaLigada : public QTableView {
    Q_OBJECT
public:
    explicit RejillaLigada(QWidget* padre = nullptr);
    void Liga(OrigenDatos* origen);
    void Relee();
    ModeloOrigen* modelo() const { return modelo_; }
    // The shared state whose message service reports failures.
    void PonEstado(const EstadoInicia* estado) { estado_ = estado; }

    bool AllowDelete = true;
    std::vector<qint64> SelBookmarks() const;  // bookmarks of the selected rows, in row order
    int Row() const;                           // the current row, -1 when none
    int Col() const;                           // the current column, -1 when none

    // A drop button in the cells of a column (opened by a click on it, Alt+Down or F4).
    void PonBoton(int columna);
    bool TieneBoton(int columna) const { return botones_.count(columna) > 0; }

    // The current row's value of a column as text: while a cell is being committed, the value about
    // to be written; PonTexto changes it (AfterColEdit may correct or empty cells of the row).
    QString Texto(int columna) const;
    void PonTexto(int columna, const QVariant& valor);
    // Writes cells of a row as a committed edit does (engine write, add-new and row-stored
    // notifications). Throws ErrorTabla. Returns the row written.
    int GuardaCeldas(int fila, const std::vector<std::pair<int, QVariant>>& celdas);
    // Deletes records by bookmark through a data source (a delete notification for each), reads the
    // source again and tells the host. Throws ErrorTabla.
    void BorraRenglones(OrigenDatos& origen, const std::vector<qint64>& marcas);
    // Makes a row current (the new-row line included) and scrolls to it.
    void IrA(int fila, int columna = -1);
    // Where a cell lies, in the coordinates of `otro`.
    QRect RectCelda(int fila, int columna, const QWidget* otro) const;

    // Runs a host rule through the guard (for work started by the grid's own events).
    bool Resguardado(const std::function<void()>& trabajo) const;

signals:
    void BeforeColEdit(int ColIndex, int KeyAscii, bool& Cancel);
    void AfterColEdit(int ColIndex);
    void ButtonClick(int ColIndex);
    void ColResize(int ColIndex, bool& Cancel);
    void RenglonGuardado(int fila, bool nuevo);  // a row stored: inserted, or a changed row written
    void Reposition();                           // the current record moved, or the source was read anew
    void Validate(int Action, int& Save);        // 5 a record added, 7 a record deleted
    void AfterDelete();                          // records deleted through the grid
    void CambioEnCelda(int ColIndex, const QString& texto);  // the text being typed into a cell
    void TeclaEnCelda(int ColIndex, int tecla, bool& usada);  // a key in a cell's editor, before it
    void MouseMove(int ColIndex);  // -1 outside the columns
    void MouseDown(int ColIndex);
    void BotonDerechoSoltado(const QPoint& global);

protected:
    bool edit(const QModelIndex& indice, EditTrigger disparo, QEvent* evento) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint pista) override;
    void currentChanged(const QModelIndex& actual, const QModelIndex& anterior) override;
    void keyPressEvent(QKeyEvent* evento) override;
    void mousePressEvent(QMouseEvent* evento) override;
    void mouseMoveEvent(QMouseEvent* evento) override;
    void mouseReleaseEvent(QMouseEvent* evento) override;

private:
    friend class DelegadoRejilla;
    void ConfirmaCelda(const QModelIndex& indice, const QString& texto);
    void PulsaBoton(int columna);
    void AvanzaCelda();
    void Tabulador(bool adelante);
    enum Movimiento { Ninguno, Avanza, Tabula, TabulaAtras };

    ModeloOrigen* modelo_;
    const EstadoInicia* estado_ = nullptr;
    std::set<int> botones_;
    std::map<int, QVariant> pendientes_;  // cells of the row being committed
    int filaPendiente_ = -1;
    Movimiento mover_ = Ninguno;  // where the current cell goes once the editor has closed
    bool avisoEnCelda_ = false;   // a check's message box showed while the cell was committed
};

// Edits the grid's cells as plain text, limited to the field's width, and draws the drop buttons.
class DelegadoRejilla : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit DelegadoRejilla(RejillaLigada* rejilla) : QStyledItemDelegate(rejilla), rejilla_(rejilla) {}
    QWidget* createEditor(QWidget* padre, const QStyleOptionViewItem& opcion, const QModelIndex& indice) const override;
    void setEditorData(QWidget* editor, const QModelIndex& indice) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* modelo, const QModelIndex& indice) const override;
    void paint(QPainter* pintor, const QStyleOptionViewItem& opcion, const QModelIndex& indice) const override;
    static QRect RectBoton(const QRect& celda);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    RejillaLigada* rejilla_;
};

}  // namespace lorum
