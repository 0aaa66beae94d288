#include "RejillaLigada.h"

#include "EstadoInicia.h"
#include "Numeros.h"
#include "OrigenDatos.h"
#include "Resguardo.h"

#include <QApplication>
#include <QWindow>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace lorum {

namespace {

QString textoDe(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return {};
    return v.typeId() == QMetaType::Double ? TextoDeNumero(v.toDouble()) : v.toString();
}

}  // namespace

void ModeloOrigen::Liga(OrigenDatos* origen) {
    origen_ = origen;
    Relee();
}

std::vector<QVariant> ModeloOrigen::LeeRegistro(qint64 marca) const {
    if (!lector_) lector_ = std::make_unique<Cursor>(origen_->Registros().Clone());
    Cursor& c = *lector_;
    c.SetBookmark(marca);
    std::vector<QVariant> fila;
    fila.reserve(size_t(c.NumCampos()));
    for (int i = 0; i < c.NumCampos(); ++i) fila.push_back(c.Valor(i));
    return fila;
}

const std::vector<QVariant>& ModeloOrigen::Fila(int fila) const {
    constexpr size_t kLeidas = 512;  // some screens of rows
    auto it = leidas_.find(fila);
    if (it != leidas_.end()) return it->second;
    if (leidas_.size() >= kLeidas) leidas_.clear();
    return leidas_.emplace(fila, LeeRegistro(marcas_[size_t(fila)])).first->second;
}

void ModeloOrigen::Relee() {
    beginResetModel();
    marcas_.clear();
    leidas_.clear();
    lector_.reset();
    encabezados_.clear();
    anchos_.clear();
    numericas_.clear();
    if (origen_ && origen_->abierto()) {
        Cursor c = origen_->Registros().Clone();
        for (int i = 0; i < c.NumCampos(); ++i) {
            const Campo& campo = c.CampoEn(i);
            encabezados_ << campo.nombre;
            anchos_.push_back(campo.ancho);
            numericas_.push_back(campo.tipo == 'N' || campo.tipo == 'F');
        }
        for (c.MoveFirst(); !c.Eof(); c.MoveNext()) marcas_.push_back(c.Bookmark());
        lector_ = std::make_unique<Cursor>(std::move(c));
    }
    endResetModel();
}

int ModeloOrigen::FilaDe(qint64 marca) const {
    const auto it = std::find(marcas_.begin(), marcas_.end(), marca);
    return it == marcas_.end() ? -1 : int(it - marcas_.begin());
}

QVariant ModeloOrigen::Valor(int fila, int columna) const {
    if (fila < 0 || fila >= NumRegistros() || columna < 0 || columna >= int(encabezados_.size())) return {};
    return Fila(fila)[size_t(columna)];
}

int ModeloOrigen::AnchoDe(int columna) const { return columna >= 0 && columna < int(anchos_.size()) ? anchos_[size_t(columna)] : 0; }
bool ModeloOrigen::EsNumerica(int columna) const {
    return columna >= 0 && columna < int(numericas_.size()) && numericas_[size_t(columna)];
}

void ModeloOrigen::PermiteAgregar(bool permite) {
    if (permite == agrega_) return;
    const int fila = NumRegistros();
    if (permite) {
        beginInsertRows({}, fila, fila);
        agrega_ = true;
        endInsertRows();
    } else {
        beginRemoveRows({}, fila, fila);
        agrega_ = false;
        endRemoveRows();
    }
}

void ModeloOrigen::PonEditable(int columna, bool editable) {
    if (editable) soloLectura_.erase(columna);
    else soloLectura_.insert(columna);
}

int ModeloOrigen::Guarda(int fila, const std::vector<std::pair<int, QVariant>>& celdas) {
    Cursor& c = origen_->Registros();
    const bool nueva = EsNueva(fila);
    if (nueva) {
        c.AddNew();
    } else {
        c.SetBookmark(MarcaDe(fila));
        c.Edit();
    }
    try {
        for (const auto& [columna, valor] : celdas) c.SetValor(columna, valor);
        c.Update();
    } catch (...) {
        c.CancelUpdate();
        throw;
    }
    if (!nueva) {
        leidas_.erase(fila);
        emit dataChanged(index(fila, 0), index(fila, columnCount() - 1));
        return fila;
    }
    // The new-row line became the record; a new line is offered below it.
    const qint64 marca = c.LastModified();
    marcas_.push_back(marca);
    emit dataChanged(index(fila, 0), index(fila, columnCount() - 1));
    beginInsertRows({}, fila + 1, fila + 1);
    endInsertRows();
    return fila;
}

int ModeloOrigen::rowCount(const QModelIndex& padre) const { return padre.isValid() ? 0 : NumRegistros() + (agrega_ ? 1 : 0); }
int ModeloOrigen::columnCount(const QModelIndex& padre) const { return padre.isValid() ? 0 : int(encabezados_.size()); }

QVariant ModeloOrigen::data(const QModelIndex& indice, int papel) const {
    if (!indice.isValid()) return {};
    switch (papel) {
        case Qt::DisplayRole:
        case Qt::EditRole:
        case Qt::AccessibleTextRole:
            return textoDe(Valor(indice.row(), indice.column()));
        case Qt::TextAlignmentRole:
            return EsNumerica(indice.column()) ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
        default:
            return {};
    }
}

QVariant ModeloOrigen::headerData(int seccion, Qt::Orientation orientacion, int papel) const {
    if (orientacion == Qt::Vertical && papel == Qt::DisplayRole && agrega_ && seccion == NumRegistros())
        return QStringLiteral("*");  // the new-row line
    if ((papel != Qt::DisplayRole && papel != Qt::AccessibleTextRole) || orientacion != Qt::Horizontal)
        return QAbstractTableModel::headerData(seccion, orientacion, papel);
    if (const auto it = propios_.find(seccion); it != propios_.end()) return it->second;
    return seccion < encabezados_.size() ? QVariant(encabezados_[seccion]) : QVariant();
}

Qt::ItemFlags ModeloOrigen::flags(const QModelIndex& indice) const {
    if (!indice.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!soloLectura_.count(indice.column())) f |= Qt::ItemIsEditable;
    return f;
}

void ModeloOrigen::PonEncabezado(int columna, const QString& texto) {
    propios_[columna] = texto;
    emit headerDataChanged(Qt::Horizontal, columna, columna);
}

RejillaLigada::RejillaLigada(QWidget* padre) : QTableView(padre), modelo_(new ModeloOrigen(this)) {
    setModel(modelo_);
    setItemDelegate(new DelegadoRejilla(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Rows are selected by the pop-up command or the row headers, never by moving between cells.
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setMouseTracking(true);
    connect(verticalHeader(), &QHeaderView::sectionClicked, this, [this](int fila) {
        if (fila < modelo_->NumRegistros())
            selectionModel()->select(modelo_->index(fila, 0), QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
    });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int columna) {
        Resguardado([&] {
            bool cancelar = false;
            emit ColResize(columna, cancelar);
        });
    });
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

bool RejillaLigada::Resguardado(const std::function<void()>& trabajo) const {
    return Resguarda(estado_ ? estado_->mensajes : nullptr, trabajo);
}

void RejillaLigada::Liga(OrigenDatos* origen) {
    modelo_->Liga(origen);
    Resguardado([this] { emit Reposition(); });
}

void RejillaLigada::Relee() {
    const int columna = std::max(0, Col());
    modelo_->Relee();
    if (modelo_->rowCount() > 0) IrA(0, columna);  // a visible column
    Resguardado([this] { emit Reposition(); });
}

std::vector<qint64> RejillaLigada::SelBookmarks() const {
    std::vector<qint64> marcas;
    auto filas = selectionModel()->selectedRows();
    std::sort(filas.begin(), filas.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& fila : filas)
        if (fila.row() < modelo_->NumRegistros()) marcas.push_back(modelo_->MarcaDe(fila.row()));
    return marcas;
}

int RejillaLigada::Row() const { return currentIndex().isValid() ? currentIndex().row() : -1; }
int RejillaLigada::Col() const { return currentIndex().isValid() ? currentIndex().column() : -1; }

void RejillaLigada::PonBoton(int columna) {
    botones_.insert(columna);
    viewport()->update();
}

QString RejillaLigada::Texto(int columna) const {
    const int fila = filaPendiente_ >= 0 ? filaPendiente_ : Row();
    if (filaPendiente_ >= 0)
        if (const auto it = pendientes_.find(columna); it != pendientes_.end()) return textoDe(it->second);
    return textoDe(modelo_->Valor(fila, columna));
}

void RejillaLigada::PonTexto(int columna, const QVariant& valor) {
    if (filaPendiente_ >= 0) pendientes_[columna] = valor;
}

int RejillaLigada::GuardaCeldas(int fila, const std::vector<std::pair<int, QVariant>>& celdas) {
    const bool nueva = modelo_->EsNueva(fila);
    if (nueva) {
        int guardar = 1;
        emit Validate(5, guardar);
        if (!guardar) return -1;
    }
    const int escrita = modelo_->Guarda(fila, celdas);
    modelo_->origen()->Registros().SetBookmark(modelo_->MarcaDe(escrita));
    emit RenglonGuardado(escrita, nueva);
    if (nueva) emit Reposition();  // the new-row line became a record: the source stands on it
    return escrita;
}

void RejillaLigada::ConfirmaCelda(const QModelIndex& indice, const QString& texto) {
    if (filaPendiente_ >= 0) return;  // a message box of the checks took the editor's focus
    const int fila = indice.row();
    const int columna = indice.column();
    Resguardado([&] {
        filaPendiente_ = fila;
        pendientes_ = {{columna, texto}};
        struct Limpia {
            RejillaLigada* r;
            ~Limpia() {
                r->filaPendiente_ = -1;
                r->pendientes_.clear();
            }
        } limpia{this};
        const auto vigia = connect(qApp, &QGuiApplication::focusWindowChanged, this, [this] { avisoEnCelda_ = true; });
        emit AfterColEdit(columna);
        disconnect(vigia);
        std::vector<std::pair<int, QVariant>> celdas;
        bool algo = false;
        for (const auto& [c, v] : pendientes_) {
            const QString t = textoDe(v);
            celdas.emplace_back(c, t.isEmpty() ? QVariant() : v);
            algo = algo || !t.isEmpty();
        }
        filaPendiente_ = -1;
        pendientes_.clear();
        if (modelo_->EsNueva(fila) && !algo) return;  // nothing typed: no record to add
        GuardaCeldas(fila, celdas);
    });
}

void RejillaLigada::BorraRenglones(OrigenDatos& origen, const std::vector<qint64>& marcas) {
    Cursor& registros = origen.Registros();
    for (qint64 marca : marcas) {
        registros.SetBookmark(marca);
        int borrar = 1;
        emit Validate(7, borrar);
        if (borrar) registros.Delete();
    }
    origen.Refresca();
    Relee();
    emit AfterDelete();
}

void RejillaLigada::IrA(int fila, int columna) {
    if (fila < 0 || fila >= modelo_->rowCount()) return;
    if (columna < 0) columna = std::max(0, Col());
    while (columna < modelo_->columnCount() - 1 && isColumnHidden(columna)) ++columna;
    const QModelIndex i = modelo_->index(fila, columna);
    setCurrentIndex(i);
    scrollTo(i);
}

QRect RejillaLigada::RectCelda(int fila, int columna, const QWidget* otro) const {
    QRect r = visualRect(modelo_->index(fila, columna));
    r.moveTopLeft(viewport()->mapTo(otro, r.topLeft()));
    return r;
}

void RejillaLigada::PulsaBoton(int columna) {
    Resguardado([&] { emit ButtonClick(columna); });
}

bool RejillaLigada::edit(const QModelIndex& indice, EditTrigger disparo, QEvent* evento) {
    const bool empieza = indice.isValid() && state() != EditingState && (editTriggers() & disparo) &&
                         (modelo_->flags(indice) & Qt::ItemIsEditable);
    if (empieza) {
        int tecla = 0;
        if (evento && evento->type() == QEvent::KeyPress) {
            const QString t = static_cast<QKeyEvent*>(evento)->text();
            tecla = t.size() == 1 ? t[0].unicode() : 0;
        }
        bool cancelar = false;
        if (!Resguardado([&] { emit BeforeColEdit(indice.column(), tecla, cancelar); })) cancelar = true;
        // A cancelled edit takes the key too: it must not jump to a row by keyboard search.
        if (cancelar) return disparo == AnyKeyPressed;
    }
    return QTableView::edit(indice, disparo, evento);
}

void RejillaLigada::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint pista) {
    // A check's message box took the focus from the editor: once the editor is gone the focus comes
    // back to the grid, on the checked cell (the box's answer is no move), not to the window's first
    // field when the window manager activates it again. Whether the box still stands or the window
    // is already back depends on the window manager's timing, so the box is told by the focus window
    // having changed during the commit.
    const bool suyo = editor && window()->focusWidget() == editor;
    QTableView::closeEditor(editor, pista);
    if (std::exchange(avisoEnCelda_, false)) mover_ = Ninguno;
    if (suyo && window()->focusWidget() != this) setFocus();
    switch (std::exchange(mover_, Ninguno)) {
        case Avanza: AvanzaCelda(); break;
        case Tabula: Tabulador(true); break;
        case TabulaAtras: Tabulador(false); break;
        case Ninguno: break;
    }
}

void RejillaLigada::AvanzaCelda() {
    const QModelIndex siguiente = moveCursor(MoveNext, Qt::NoModifier);
    if (siguiente.isValid() && siguiente.row() >= Row()) IrA(siguiente.row(), siguiente.column());
}

void RejillaLigada::Tabulador(bool adelante) {
    // Tab walks the cells; past the last cell (or before the first) it leaves the grid.
    const QModelIndex otro = moveCursor(adelante ? MoveNext : MovePrevious, Qt::NoModifier);
    const bool vuelta = !otro.isValid() || (adelante ? otro.row() < Row() : otro.row() > Row()) ||
                        (otro.row() == Row() && (adelante ? otro.column() <= Col() : otro.column() >= Col()));
    if (!currentIndex().isValid() || vuelta) QWidget::focusNextPrevChild(adelante);
    else IrA(otro.row(), otro.column());
}

void RejillaLigada::currentChanged(const QModelIndex& actual, const QModelIndex& anterior) {
    QTableView::currentChanged(actual, anterior);
    if (actual.row() == anterior.row()) return;
    Resguardado([&] {
        if (actual.isValid() && actual.row() < modelo_->NumRegistros() && modelo_->origen())
            modelo_->origen()->Registros().SetBookmark(modelo_->MarcaDe(actual.row()));
        emit Reposition();
    });
}

void RejillaLigada::keyPressEvent(QKeyEvent* evento) {
    const int tecla = evento->key();
    const bool alt = evento->modifiers() & Qt::AltModifier;
    if ((tecla == Qt::Key_F4 || (alt && tecla == Qt::Key_Down)) && TieneBoton(Col())) {
        PulsaBoton(Col());
        return;
    }
    // The pop-up menu from the keyboard too, at the current cell.
    if (tecla == Qt::Key_Menu || (tecla == Qt::Key_F10 && (evento->modifiers() & Qt::ShiftModifier))) {
        const QRect celda = visualRect(currentIndex());
        emit BotonDerechoSoltado(viewport()->mapToGlobal(celda.isValid() ? celda.center() : QPoint(0, 0)));
        return;
    }
    if ((tecla == Qt::Key_Return || tecla == Qt::Key_Enter) && state() != EditingState) {
        AvanzaCelda();
        return;
    }
    if ((tecla == Qt::Key_Tab || tecla == Qt::Key_Backtab) && !(evento->modifiers() & Qt::ControlModifier)) {
        Tabulador(tecla == Qt::Key_Tab && !(evento->modifiers() & Qt::ShiftModifier));
        return;
    }
    QTableView::keyPressEvent(evento);
}

void RejillaLigada::mousePressEvent(QMouseEvent* evento) {
    const QPoint p = evento->position().toPoint();
    const QModelIndex i = indexAt(p);
    Resguardado([&] { emit MouseDown(columnAt(p.x())); });
    if (evento->button() == Qt::LeftButton && i.isValid() && TieneBoton(i.column()) &&
        DelegadoRejilla::RectBoton(visualRect(i)).contains(p)) {
        setCurrentIndex(i);
        PulsaBoton(i.column());
        return;
    }
    QTableView::mousePressEvent(evento);
}

void RejillaLigada::mouseMoveEvent(QMouseEvent* evento) {
    const int columna = columnAt(int(evento->position().x()));
    Resguardado([&] { emit MouseMove(columna); });
    QTableView::mouseMoveEvent(evento);
}

void RejillaLigada::mouseReleaseEvent(QMouseEvent* evento) {
    QTableView::mouseReleaseEvent(evento);
    if (evento->button() == Qt::RightButton) emit BotonDerechoSoltado(evento->globalPosition().toPoint());
}

QWidget* DelegadoRejilla::createEditor(QWidget* padre, const QStyleOptionViewItem&, const QModelIndex& indice) const {
    auto* editor = new QLineEdit(padre);
    editor->setFrame(false);
    const ModeloOrigen* m = rejilla_->modelo();
    editor->setMaxLength(m->EsNumerica(indice.column()) ? 40 : std::max(1, m->AnchoDe(indice.column())));
    editor->setProperty("columna", indice.column());
    const QString encabezado = m->headerData(indice.column(), Qt::Horizontal, Qt::DisplayRole).toString().trimmed();
    editor->setAccessibleName(encabezado);
    const int columna = indice.column();
    connect(editor, &QLineEdit::textEdited, rejilla_, [r = rejilla_, columna](const QString& texto) {
        r->Resguardado([&] { emit r->CambioEnCelda(columna, texto); });
    });
    return editor;
}

void DelegadoRejilla::setEditorData(QWidget* editor, const QModelIndex& indice) const {
    static_cast<QLineEdit*>(editor)->setText(indice.data(Qt::EditRole).toString());
}

void DelegadoRejilla::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& indice) const {
    rejilla_->ConfirmaCelda(indice, static_cast<QLineEdit*>(editor)->text());
}

QRect DelegadoRejilla::RectBoton(const QRect& celda) {
    const int ancho = std::min(celda.height(), 18);
    return QRect(celda.right() - ancho + 1, celda.top(), ancho, celda.height());
}

void DelegadoRejilla::paint(QPainter* pintor, const QStyleOptionViewItem& opcion, const QModelIndex& indice) const {
    QStyledItemDelegate::paint(pintor, opcion, indice);
    // The current cell of a grid that has the focus is always plainly marked.
    if (rejilla_->hasFocus() && indice == rejilla_->currentIndex()) {
        pintor->save();
        pintor->setPen(QPen(QColor(75, 139, 203), 2));
        pintor->drawRect(opcion.rect.adjusted(1, 1, -1, -1));
        pintor->restore();
    }
    if (!rejilla_->TieneBoton(indice.column())) return;
    QStyleOption boton;
    boton.rect = RectBoton(opcion.rect);
    boton.state = QStyle::State_Enabled | QStyle::State_Raised;
    boton.palette = opcion.palette;
    QStyle* estilo = rejilla_->style();
    estilo->drawPrimitive(QStyle::PE_PanelButtonTool, &boton, pintor, rejilla_);
    boton.rect = boton.rect.adjusted(4, 4, -4, -4);
    estilo->drawPrimitive(QStyle::PE_IndicatorArrowDown, &boton, pintor, rejilla_);
}

bool DelegadoRejilla::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress) {
        auto* tecla = static_cast<QKeyEvent*>(evento);
        const int columna = objeto->property("columna").toInt();
        bool usada = false;
        const bool alt = tecla->modifiers() & Qt::AltModifier;
        if ((tecla->key() == Qt::Key_F4 || (alt && tecla->key() == Qt::Key_Down)) && rejilla_->TieneBoton(columna)) {
            rejilla_->PulsaBoton(columna);
            return true;
        }
        rejilla_->Resguardado([&] { emit rejilla_->TeclaEnCelda(columna, tecla->key(), usada); });
        if (usada) return true;
        // Enter and Tab commit the cell and move on without opening the next one: typing there (or
        // F2) starts its edit, as it does anywhere in the grid.
        const bool atras = tecla->key() == Qt::Key_Backtab || (tecla->key() == Qt::Key_Tab && (tecla->modifiers() & Qt::ShiftModifier));
        if (tecla->key() == Qt::Key_Tab || tecla->key() == Qt::Key_Backtab) {
            auto* editor = static_cast<QWidget*>(objeto);
            rejilla_->mover_ = atras ? RejillaLigada::TabulaAtras : RejillaLigada::Tabula;
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            return true;
        }
        if (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter) rejilla_->mover_ = RejillaLigada::Avanza;
    }
    return QStyledItemDelegate::eventFilter(objeto, evento);
}

}  // namespace lorum
