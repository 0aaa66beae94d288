#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <map>
#include <vector>

namespace lorum {

class OrigenDatos;

// Read view of a data source for a grid: one row per live record, in table order, each row keeping
// its record's bookmark. Relee() reads the source again.
class ModeloOrigen : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeloOrigen(QObject* padre = nullptr) : QAbstractTableModel(padre) {}
    void Liga(OrigenDatos* origen);
    void Relee();
    OrigenDatos* origen() const { return origen_; }
    qint64 MarcaDe(int renglon) const { return marcas_.at(size_t(renglon)); }
    // A heading of the grid's own, kept across re-reads (the field's name otherwise).
    void PonEncabezado(int columna, const QString& texto);

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int papel) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int papel) const override;

private:
    OrigenDatos* origen_ = nullptr;
    std::vector<qint64> marcas_;
    std::vector<std::vector<QVariant>> valores_;
    QStringList encabezados_;
    std::map<int, QString> propios_;
};

// A grid bound to a data source, with a set of selected rows and a permission to delete them.
class RejillaLigada : public QTableView {
    Q_OBJECT
public:
    explicit RejillaLigada(QWidget* padre = nullptr);
    void Liga(OrigenDatos* origen);
    void Relee();
    ModeloOrigen* modelo() const { return modelo_; }

    bool AllowDelete = true;
    std::vector<qint64> SelBookmarks() const;  // bookmarks of the selected rows, in row order
    int Row() const;                           // the current row, -1 when none

signals:
    void BotonDerechoSoltado(const QPoint& global);

protected:
    void mouseReleaseEvent(QMouseEvent* evento) override;

private:
    ModeloOrigen* modelo_;
};

}  // namespace lorum
