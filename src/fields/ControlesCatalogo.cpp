#include "ControlesCatalogo.h"

#include "Accesibilidad.h"

#include "Numeros.h"
#include "ServicioMensajes.h"

#include <QCompleter>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QLineEdit>
#include <QTimer>
#include <QWheelEvent>

namespace lorum {

namespace {

QString textoDeValor(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return {};
    if (v.typeId() == QMetaType::Double) return TextoDeNumero(v.toDouble());
    return v.toString();
}

// The combos complete nothing, yet a line edit without a completer makes setLineEdit build one for
// each of them; this one stands in for all of them, and each takes it off at once.
QCompleter* SinCompletar() {
    static QPointer<QCompleter> completador;
    if (!completador) completador = new QCompleter(QCoreApplication::instance());
    return completador;
}

}  // namespace

ControlCatalogo::ControlCatalogo(int capacidad, QWidget* padre) : ControlCampo(padre), capacidad_(capacidad) {}

std::array<QString, 5> ControlCatalogo::Divide(const QString& lista) {
    std::array<QString, 5> nombres;
    QString resto = lista;
    int tomados = 0;
    while (tomados < 4 && resto.contains(u',')) {
        const qsizetype coma = resto.indexOf(u',');
        nombres[size_t(tomados++)] = resto.left(coma);
        resto = resto.mid(coma + 1);
    }
    nombres[size_t(tomados)] = resto;
    return nombres;
}

void ControlCatalogo::Llenadato() {
    VaciaVisible();
    tabla_.clear();
    ultimo_ = 0;
    origen_.Conecta(DatabaseName, Connect, RecordSource);
    origen_.Refresca();
    columnas_ = Divide(sListaCampos);
    Cursor& registros = origen_.Registros();
    QStringList visibles;
    for (; !registros.Eof(); registros.MoveNext()) {
        if (int(tabla_.size()) == capacidad_) {
            if (mensajes_)
                mensajes_->Muestra(QStringLiteral("El catálogo «%1» tiene más de %2 registros; solo se muestran los primeros %2.")
                                       .arg(RecordSource)
                                       .arg(capacidad_),
                                   QStringLiteral("Información"), ServicioMensajes::Botones::Aceptar,
                                   ServicioMensajes::Icono::Informacion);
            break;
        }
        visibles << TextoDeEntrada(registros);
        std::array<QString, 5> renglon;
        for (size_t j = 0; j < 5; ++j)
            if (!columnas_[j].isEmpty()) renglon[j] = textoDeValor(registros.Valor(columnas_[j]));
        tabla_.push_back(renglon);
    }
    AgregaVisibles(visibles);
    ultimo_ = tabla_.empty() ? 0 : int(tabla_.size()) - 1;
    origen_.Desliga();
}

void ControlCatalogo::EligeCampo() {
    if (llave_.isEmpty()) return;
    for (size_t r = 0; r < tabla_.size(); ++r)
        for (const QString& columna : tabla_[r])
            if (columna == llave_) {
                Escoge(int(r));
                return;
            }
}

QString ControlCatalogo::GetStrLlave(qint16& CmbNumero) const {
    if (nLista < 0 || nLista >= qint16(tabla_.size()) || CmbNumero < 0 || CmbNumero > 4) return {};
    return tabla_[size_t(nLista)][size_t(CmbNumero)];
}

qint16 ControlCatalogo::GetNumLlave(qint16& CmbNumero) const {
    const double v = NumeroDeTexto(GetStrLlave(CmbNumero));
    return qint16(std::clamp(v, -32768.0, 32767.0));
}

void ControlCatalogo::setDatoTxt(const QVariant& valor) { llave_ = textoDeValor(valor); }

QVariant ControlCatalogo::Valor() const {
    qint16 columna = nColumnaLlave;
    return GetNumLlave(columna);
}

void ControlCatalogo::PonValor(const QVariant& valor) {
    setDatoTxt(valor);
    EligeCampo();
}

QString ControlCatalogo::VerificaDato(const QString&) const {
    if (bAceptaNulos) return {};
    return Text().isEmpty() ? NombreCampo : QString();
}

CajaCombo::CajaCombo(QWidget* padre) : QComboBox(padre) { InstalaAccesibilidad(); }

void CajaCombo::showPopup() {
    eligiendo_ = true;
    // The list is built on its first opening; it takes the field's name then.
    view()->setAccessibleName(lineEdit() ? lineEdit()->accessibleName() : accessibleName());
    QComboBox::showPopup();
}

void CajaCombo::hidePopup() {
    QComboBox::hidePopup();
    // The entry taken from the list is set right after the list closes, within the same event.
    QTimer::singleShot(0, this, [this] { eligiendo_ = false; });
}

void CajaCombo::keyPressEvent(QKeyEvent* e) {
    const bool flecha = !(e->modifiers() & Qt::AltModifier) &&
                        (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down || e->key() == Qt::Key_PageUp ||
                         e->key() == Qt::Key_PageDown);
    const bool antes = std::exchange(eligiendo_, eligiendo_ || flecha);
    QComboBox::keyPressEvent(e);
    if (flecha) eligiendo_ = antes || view()->isVisible();
}

void CajaCombo::wheelEvent(QWheelEvent* e) {
    const bool antes = std::exchange(eligiendo_, true);
    QComboBox::wheelEvent(e);
    eligiendo_ = antes;
}

ControlCmb::ControlCmb(QWidget* padre) : ControlCatalogo(1001, padre), cmbData(new CajaCombo(this)) {
    cmbData->setObjectName(QStringLiteral("cmbData"));
    // Editable through its own line edit: setEditable() would build the drop-down list's window now,
    // for every combo on the form; the list is built when first opened instead.
    auto* edicion = new QLineEdit(cmbData);
    edicion->setCompleter(SinCompletar());
    cmbData->setLineEdit(edicion);
    cmbData->setInsertPolicy(QComboBox::NoInsert);
    cmbData->setCompleter(nullptr);
    cmbData->setMaxVisibleItems(15);
    Envuelve(cmbData);
    // An entry chosen from the keyboard (arrow keys) or the drop-down list.
    connect(cmbData, &QComboBox::currentIndexChanged, this, [this](int indice) {
        if (escogiendo_ || indice < 0 || !cmbData->Eligiendo()) return;
        nLista = qint16(indice);
        elegidoAhora_ = true;
        emit Click();
    });
    // Choosing the entry that was already chosen raises Click too.
    connect(cmbData, &QComboBox::activated, this, [this](int indice) {
        if (!std::exchange(elegidoAhora_, false) && cmbData->Eligiendo()) Escoge(indice);
    });
    connect(cmbData, &QComboBox::editTextChanged, this, [this] {
        if (!escogiendo_) nLista = -1;
        emit Cambio();
    });
}

void ControlCmb::Escoge(int renglon) {
    escogiendo_ = true;
    cmbData->setCurrentIndex(renglon);
    escogiendo_ = false;
    nLista = qint16(cmbData->currentIndex());
    emit Click();
}

void ControlCmb::Limpia() {
    escogiendo_ = true;
    cmbData->setCurrentIndex(-1);
    cmbData->setEditText(QString());
    escogiendo_ = false;
    nLista = -1;
    emit LimpiaEvento();
}

void ControlCmb::setWidthcmb(int ancho) { cmbData->setMinimumWidth(ancho); }
void ControlCmb::setTips(const QVariant& tips) {
    const QString t = textoDeValor(tips);
    cmbData->setToolTip(t);
    cmbData->setAccessibleDescription(t);
    setAccessibleDescription(t);
}
QString ControlCmb::Text() const { return cmbData->currentText(); }
void ControlCmb::setText(const QString& texto) { cmbData->setEditText(texto); }
void ControlCmb::VaciaVisible() {
    escogiendo_ = true;
    cmbData->clear();
    escogiendo_ = false;
}
void ControlCmb::AgregaVisibles(const QStringList& textos) {
    escogiendo_ = true;
    cmbData->addItems(textos);
    cmbData->setCurrentIndex(-1);
    escogiendo_ = false;
}
QString ControlCmb::TextoDeEntrada(const Cursor& registros) const {
    return DataField.isEmpty() ? QString() : textoDeValor(registros.Valor(DataField));
}

ControlLst::ControlLst(QWidget* padre) : ControlCatalogo(2001, padre), LstData(new QListWidget(this)) {
    LstData->setObjectName(QStringLiteral("LstData"));
    LstData->setSortingEnabled(false);
    Envuelve(LstData);
    LstData->installEventFilter(this);
    connect(LstData, &QListWidget::itemDoubleClicked, this, &ControlLst::DblClick);
}

bool ControlLst::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == LstData && evento->type() == QEvent::KeyPress) {
        auto* tecla = static_cast<QKeyEvent*>(evento);
        int codigo = tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter ? 13
                     : tecla->key() == Qt::Key_Escape                                 ? 27
                     : tecla->text().size() == 1 && tecla->text()[0].isPrint()       ? tecla->text()[0].unicode()
                                                                                      : -1;
        if (codigo >= 0) {
            emit KeyPress(codigo);
            if (codigo == 0) return true;
        }
    }
    return ControlCatalogo::eventFilter(objeto, evento);
}

void ControlLst::ClickOperacion() {
    nLista = qint16(LstData->currentRow());
    emit Click();
}

void ControlLst::Escoge(int renglon) { LstData->setCurrentRow(renglon); }

void ControlLst::Limpia() {
    LstData->setCurrentRow(-1);
    LstData->clearSelection();
    emit LimpiaEvento();
}

void ControlLst::setWidthcmb(int ancho) { LstData->setMinimumWidth(ancho); }
void ControlLst::setTips(const QVariant& tips) {
    const QString t = textoDeValor(tips);
    LstData->setToolTip(t);
    LstData->setAccessibleDescription(t);
    setAccessibleDescription(t);
}
QString ControlLst::Text() const {
    const auto* actual = LstData->currentItem();
    return actual && actual->isSelected() ? actual->text() : QString();
}
void ControlLst::setText(const QString& texto) {
    const auto hallados = LstData->findItems(texto, Qt::MatchExactly);
    if (hallados.isEmpty()) {
        LstData->setCurrentRow(-1);
        LstData->clearSelection();
    } else {
        LstData->setCurrentItem(hallados.front());
    }
}
void ControlLst::VaciaVisible() { LstData->clear(); }
void ControlLst::AgregaVisibles(const QStringList& textos) {
    LstData->addItems(textos);
}
QString ControlLst::TextoDeEntrada(const Cursor& registros) const {
    // The list shows the last name of sListaCampos.
    const auto& nombres = columnas_;
    for (auto it = nombres.rbegin(); it != nombres.rend(); ++it)
        if (!it->isEmpty()) return textoDeValor(registros.Valor(*it));
    return {};
}

}  // namespace lorum
