#include "RejillaLigada.h"

#include "Numeros.h"
#include "OrigenDatos.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace lorum {

void ModeloOrigen::Liga(OrigenDatos* origen) {
    origen_ = origen;
    Relee();
}

void ModeloOrigen::Relee() {
    beginResetModel();
    marcas_.clear();
    valores_.clear();
    encabezados_.clear();
    if (origen_ && origen_->abierto()) {
        Cursor c = origen_->Registros().Clone();
        for (int i = 0; i < c.NumCampos(); ++i) encabezados_ << c.CampoEn(i).nombre;
        for (c.MoveFirst(); !c.Eof(); c.MoveNext()) {
            marcas_.push_back(c.Bookmark());
            std::vector<QVariant> fila;
            for (int i = 0; i < c.NumCampos(); ++i) fila.push_back(c.Valor(i));
            valores_.push_back(std::move(fila));
        }
    }
    endResetModel();
}

int ModeloOrigen::rowCount(const QModelIndex& padre) const { return padre.isValid() ? 0 : int(marcas_.size()); }
int ModeloOrigen::columnCount(const QModelIndex& padre) const { return padre.isValid() ? 0 : int(encabezados_.size()); }

QVariant ModeloOrigen::data(const QModelIndex& indice, int papel) const {
    if (papel != Qt::DisplayRole || !indice.isValid()) return {};
    const QVariant& v = valores_[size_t(indice.row())][size_t(indice.column())];
    return v.typeId() == QMetaType::Double ? QVariant(TextoDeNumero(v.toDouble())) : v;
}

QVariant ModeloOrigen::headerData(int seccion, Qt::Orientation orientacion, int papel) const {
    if (papel != Qt::DisplayRole || orientacion != Qt::Horizontal) return QAbstractTableModel::headerData(seccion, orientacion, papel);
    if (const auto it = propios_.find(seccion); it != propios_.end()) return it->second;
    return seccion < encabezados_.size() ? QVariant(encabezados_[seccion]) : QVariant();
}

void ModeloOrigen::PonEncabezado(int columna, const QString& texto) {
    propios_[columna] = texto;
    emit headerDataChanged(Qt::Horizontal, columna, columna);
}

RejillaLigada::RejillaLigada(QWidget* padre) : QTableView(padre), modelo_(new ModeloOrigen(this)) {
    setModel(modelo_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Rows are selected by the pop-up command or the row headers, never by moving between cells.
    setSelectionMode(QAbstractItemView::NoSelection);
    connect(verticalHeader(), &QHeaderView::sectionClicked, this, [this](int fila) {
        selectionModel()->select(modelo_->index(fila, 0), QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
    });
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

void RejillaLigada::Liga(OrigenDatos* origen) { modelo_->Liga(origen); }
void RejillaLigada::Relee() { modelo_->Relee(); }

std::vector<qint64> RejillaLigada::SelBookmarks() const {
    std::vector<qint64> marcas;
    auto filas = selectionModel()->selectedRows();
    std::sort(filas.begin(), filas.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& fila : filas) marcas.push_back(modelo_->MarcaDe(fila.row()));
    return marcas;
}

int RejillaLigada::Row() const { return currentIndex().isValid() ? currentIndex().row() : -1; }

void RejillaLigada::mouseReleaseEvent(QMouseEvent* evento) {
    QTableView::mouseReleaseEvent(evento);
    if (evento->button() == Qt::RightButton) emit BotonDerechoSoltado(evento->globalPosition().toPoint());
}

}  // namespace lorum
