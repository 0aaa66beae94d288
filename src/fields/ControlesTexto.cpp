#include "ControlesTexto.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <algorithm>
#include <limits>
#include <memory>

namespace lorum {

namespace {

const QColor kFondoFoco(75, 139, 203);
const QColor kTextoFoco(255, 255, 255);
const QColor kFondo(255, 255, 255);
const QColor kTexto(0, 0, 0);
const QColor kFondoAviso(255, 236, 179);
const QColor kTextoAviso(90, 61, 0);

void ponColores(QWidget* w, bool conFoco, bool aviso = false) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, conFoco ? kFondoFoco : aviso ? kFondoAviso : kFondo);
    p.setColor(QPalette::Text, conFoco ? kTextoFoco : aviso ? kTextoAviso : kTexto);
    w->setPalette(p);
}

QString textoDe(const QVariant& valor) { return valor.isValid() && !valor.isNull() ? valor.toString() : QString(); }

}  // namespace

namespace teclas {

int CodigoDe(const QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Backspace: return 8;
        case Qt::Key_Return:
        case Qt::Key_Enter: return 13;
        case Qt::Key_Escape: return 27;
        default: break;
    }
    // AltGr arrives as Ctrl+Alt on Windows: its characters (@, €, [) are typed text like any other.
    const auto mods = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (mods && mods != (Qt::ControlModifier | Qt::AltModifier)) return -1;
    return CodigoDeCaracter(e->text());
}

int CodigoDeCaracter(const QString& t) {
    if (t.size() != 1 || !t[0].isPrint()) return -1;
    const QString mayuscula = QLocale().toUpper(t);
    return mayuscula.size() == 1 ? mayuscula[0].unicode() : t[0].unicode();
}

QString Filtra(const QString& texto, const std::function<void(int&)>& alTeclear, bool variasLineas) {
    QString r;
    const QString lineas = QString(texto).replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    for (QChar c : lineas) {
        int codigo = c == u'\n' ? (variasLineas ? 13 : -1) : c == u'\t' ? -1 : CodigoDeCaracter(QString(c));
        if (codigo < 0) continue;  // what a key could not type (a line end in one line, a tab)
        const int original = codigo;
        if (alTeclear) alTeclear(codigo);
        if (codigo == 0) continue;
        r += original == 13 ? QChar(u'\n') : QChar(char16_t(codigo));
    }
    return r;
}

QKeyEvent ConCodigo(const QKeyEvent* e, int codigo) {
    return QKeyEvent(e->type(), e->key(), e->modifiers(), QString(QChar(char16_t(codigo))), e->isAutoRepeat(),
                     quint16(e->count()));
}

}  // namespace teclas

namespace {

enum class Destino { Original, Descartar, Cambiado };

// Runs the host's key rule: the box then gets the original key, nothing, or the changed character.
Destino filtra(const QKeyEvent* e, const std::function<void(int&)>& alTeclear, int& codigo) {
    codigo = teclas::CodigoDe(e);
    if (codigo < 0) return Destino::Original;
    const int original = codigo;
    if (alTeclear) alTeclear(codigo);
    if (codigo == 0) return Destino::Descartar;
    if (original == 8 || original == 13 || original == 27) return Destino::Original;
    return Destino::Cambiado;
}

}  // namespace

// A key with Alt (and no Ctrl, which AltGr may bring) is a command, never text for the field.
static bool esOrden(const QKeyEvent* e) {
    return (e->modifiers() & Qt::AltModifier) && !(e->modifiers() & Qt::ControlModifier) && !e->text().isEmpty();
}

void CajaTexto::keyPressEvent(QKeyEvent* e) {
    if (esOrden(e)) return e->ignore();
    if (e->matches(QKeySequence::Paste)) {
        if (!isReadOnly()) PegaFiltrado(QGuiApplication::clipboard()->text());
        return e->accept();
    }
    int codigo = 0;
    switch (filtra(e, alTeclear, codigo)) {
        case Destino::Original: QLineEdit::keyPressEvent(e); break;
        case Destino::Descartar: e->accept(); break;
        case Destino::Cambiado: {
            QKeyEvent cambiado = teclas::ConCodigo(e, codigo);
            QLineEdit::keyPressEvent(&cambiado);
        }
    }
}

void CajaTextoMl::keyPressEvent(QKeyEvent* e) {
    if (esOrden(e)) return e->ignore();
    int codigo = 0;
    switch (filtra(e, alTeclear, codigo)) {
        case Destino::Original:
            if (codigo == 13 && maxLength > 0 && toPlainText().size() >= maxLength) return e->accept();
            QPlainTextEdit::keyPressEvent(e);
            break;
        case Destino::Descartar: e->accept(); break;
        case Destino::Cambiado: {
            if (Cabe() == 0) return e->accept();
            QKeyEvent cambiado = teclas::ConCodigo(e, codigo);
            QPlainTextEdit::keyPressEvent(&cambiado);
        }
    }
}

// Text that arrives without a key press (an accent composed with a dead key, an input method,
// a paste, a drop) goes through the same upper-casing and host rule as typed keys.
void CajaTexto::inputMethodEvent(QInputMethodEvent* e) {
    if (e->commitString().isEmpty()) return QLineEdit::inputMethodEvent(e);
    QInputMethodEvent filtrado(e->preeditString(), e->attributes());
    filtrado.setCommitString(teclas::Filtra(e->commitString(), alTeclear, false), e->replacementStart(), e->replacementLength());
    QLineEdit::inputMethodEvent(&filtrado);
}

void CajaTexto::PegaFiltrado(const QString& texto) { insert(teclas::Filtra(texto, alTeclear, false)); }

void CajaTexto::contextMenuEvent(QContextMenuEvent* e) {
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String("edit-paste")) {
            a->disconnect();
            connect(a, &QAction::triggered, this, [this] { PegaFiltrado(QGuiApplication::clipboard()->text()); });
        }
    menu->exec(e->globalPos());
}

void CajaTexto::dropEvent(QDropEvent* e) {
    if (!e->mimeData()->hasText() || isReadOnly()) return QLineEdit::dropEvent(e);
    setCursorPosition(cursorPositionAt(e->position().toPoint()));
    PegaFiltrado(e->mimeData()->text());
    e->acceptProposedAction();
}

qsizetype CajaTextoMl::Cabe() const {
    if (maxLength <= 0) return std::numeric_limits<qsizetype>::max();
    return std::max<qsizetype>(0, maxLength - toPlainText().size() + textCursor().selectedText().size());
}

void CajaTextoMl::inputMethodEvent(QInputMethodEvent* e) {
    if (e->commitString().isEmpty()) return QPlainTextEdit::inputMethodEvent(e);
    const QString texto = teclas::Filtra(e->commitString(), alTeclear, true).left(Cabe());
    QInputMethodEvent filtrado(e->preeditString(), e->attributes());
    filtrado.setCommitString(texto, e->replacementStart(), e->replacementLength());
    QPlainTextEdit::inputMethodEvent(&filtrado);
}

void CajaTextoMl::insertFromMimeData(const QMimeData* datos) {
    if (!datos->hasText()) return;
    textCursor().insertText(teclas::Filtra(datos->text(), alTeclear, true).left(Cabe()));
}

QString ControlTextoBase::VerificaDato(const QString&) const {
    if (bAceptaNulos) return {};
    return Text().isEmpty() ? NombreCampo : QString();
}

void ControlTextoBase::PintaFoco(bool conFoco) { ponColores(Interior(), conFoco, aviso_); }

void ControlTextoBase::PonAviso(bool aviso) {
    aviso_ = aviso;
    PintaFoco(Interior()->hasFocus());
}

ControldfTxt::ControldfTxt(QWidget* padre) : ControlTextoBase(padre), dfTxt(new CajaTexto(this)) {
    dfTxt->setObjectName(QStringLiteral("dfTxt"));
    Envuelve(dfTxt);
    connect(dfTxt, &QLineEdit::textChanged, this, &ControlCampo::Cambio);
    dfTxt->alTeclear = [this](int& codigo) { emit KeyPress1(codigo); };
    ponColores(dfTxt, false);
}

void ControldfTxt::Limpia() {
    dfTxt->clear();
    emit LimpiaEvento();
}

void ControldfTxt::setWidthcmb(int ancho) { dfTxt->setMinimumWidth(ancho); }
void ControldfTxt::setMaxLength(int maximo) { dfTxt->setMaxLength(maximo > 0 ? maximo : 32767); }
void ControldfTxt::setDatoTxt(const QVariant& valor) { dfTxt->setText(textoDe(valor)); }
void ControldfTxt::setTips(const QVariant& tips) {
    dfTxt->setToolTip(textoDe(tips));
    setAccessibleDescription(textoDe(tips));
    dfTxt->setAccessibleDescription(textoDe(tips));
}
QString ControldfTxt::Text() const { return dfTxt->text(); }

void ControldfTxt::AlGanarFoco() {
    PintaFoco(true);
    dfTxt->setSelection(0, int(dfTxt->text().size()));
}
void ControldfTxt::AlPerderFoco() { PintaFoco(false); }

ControlTxtMl::ControlTxtMl(QWidget* padre) : ControlTextoBase(padre), dfTxtMl(new CajaTextoMl(this)) {
    dfTxtMl->setObjectName(QStringLiteral("dfTxtMl"));
    Envuelve(dfTxtMl);
    connect(dfTxtMl, &QPlainTextEdit::textChanged, this, &ControlCampo::Cambio);
    dfTxtMl->setTabChangesFocus(true);
    dfTxtMl->alTeclear = [this](int& codigo) { emit KeyPress(codigo); };
    ponColores(dfTxtMl, false);
}

void ControlTxtMl::Limpia() {
    dfTxtMl->clear();
    emit LimpiaEvento();
}

void ControlTxtMl::setWidthcmb(int ancho) { dfTxtMl->setMinimumWidth(ancho); }
void ControlTxtMl::setMaxLength(int maximo) { dfTxtMl->maxLength = std::max(0, maximo); }
void ControlTxtMl::setDatoTxt(const QVariant& valor) {
    QString t = textoDe(valor);
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    dfTxtMl->setPlainText(t);
}
void ControlTxtMl::setTips(const QVariant& tips) {
    dfTxtMl->setToolTip(textoDe(tips));
    setAccessibleDescription(textoDe(tips));
    dfTxtMl->setAccessibleDescription(textoDe(tips));
}
QString ControlTxtMl::Text() const {
    QString t = dfTxtMl->toPlainText();
    t.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return t;
}

void ControlTxtMl::AlGanarFoco() {
    PintaFoco(true);
    dfTxtMl->selectAll();
}
void ControlTxtMl::AlPerderFoco() { PintaFoco(false); }

}  // namespace lorum
