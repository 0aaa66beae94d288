#include "Accesibilidad.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QEvent>
#include <QComboBox>
#include <QPointer>
#include <QTabBar>
#include <map>

namespace lorum {

namespace {

class AccesibleCombo : public QAccessibleWidget {
public:
    explicit AccesibleCombo(QWidget* w) : QAccessibleWidget(w, QAccessible::ComboBox) {}
    QString text(QAccessible::Text t) const override {
        const auto* combo = static_cast<const QComboBox*>(widget());
        if (t == QAccessible::Value) return combo->currentText();
        if (t == QAccessible::Name && !combo->accessibleName().isEmpty()) return combo->accessibleName();
        return QAccessibleWidget::text(t);
    }
};

// One page tab: its caption as name, selected when current; pressing it turns to its page.
class AccesiblePestana : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    AccesiblePestana(QTabBar* barra, int indice) : barra_(barra), indice_(indice) {}
    bool isValid() const override { return barra_ && indice_ < barra_->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent() ? parent()->window() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(barra_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        if (t == QAccessible::Name) return barra_->tabText(indice_).remove(QLatin1Char('&'));
        if (t == QAccessible::Description) return barra_->tabToolTip(indice_);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect r = barra_->tabRect(indice_);
        return QRect(barra_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) return s;
        s.selectable = true;
        s.focusable = true;
        s.selected = barra_->currentIndex() == indice_;
        s.focused = s.selected && barra_->hasFocus();
        s.invisible = !barra_->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType tipo) override {
        return tipo == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& accion) override {
        if (accion == pressAction() && isValid()) barra_->setCurrentIndex(indice_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    int indice() const { return indice_; }

private:
    QPointer<QTabBar> barra_;
    int indice_;
};

class AccesiblePestanas : public QAccessibleWidget {
public:
    explicit AccesiblePestanas(QWidget* w) : QAccessibleWidget(w, QAccessible::PageTabList) {}
    ~AccesiblePestanas() override {
        for (const auto& [indice, id] : hijos_) QAccessible::deleteAccessibleInterface(id);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && !widget()->accessibleName().isEmpty()) return widget()->accessibleName();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return barra()->count(); }
    QAccessibleInterface* child(int indice) const override {
        if (indice < 0 || indice >= childCount()) return nullptr;
        auto it = hijos_.find(indice);
        if (it == hijos_.end())
            it = hijos_.emplace(indice, QAccessible::registerAccessibleInterface(new AccesiblePestana(barra(), indice))).first;
        return QAccessible::accessibleInterface(it->second);
    }
    int indexOfChild(const QAccessibleInterface* hijo) const override {
        const auto* pestana = dynamic_cast<const AccesiblePestana*>(hijo);
        return pestana ? pestana->indice() : -1;
    }

private:
    QTabBar* barra() const { return static_cast<QTabBar*>(widget()); }
    mutable std::map<int, QAccessible::Id> hijos_;
};

QAccessibleInterface* Fabrica(const QString& clase, QObject* objeto) {
    if (!objeto || !objeto->isWidgetType()) return nullptr;
    auto* w = static_cast<QWidget*>(objeto);
    if (clase == QLatin1String("lorum::CajaCombo")) return new AccesibleCombo(w);
    if (clase == QLatin1String("QTabBar") && objeto->property("lorumPestanas").toBool()) return new AccesiblePestanas(w);
    return nullptr;
}

}  // namespace

void NombraPestanas(QTabBar* barra, const QString& nombre) {
    InstalaAccesibilidad();
    barra->setProperty("lorumPestanas", true);
    barra->setAccessibleName(nombre);
    // An interface made before the mark (when a screen reader was already listening) is Qt's own:
    // dropped, so the next query makes ours.
    if (QAccessible::isActive())
        if (QAccessibleInterface* i = QAccessible::queryAccessibleInterface(barra); i && !dynamic_cast<AccesiblePestanas*>(i))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(i));
}

namespace {

class FocoDeBoton : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* objeto, QEvent* e) override {
        if (e->type() != QEvent::FocusIn && e->type() != QEvent::FocusOut) return false;
        auto* boton = static_cast<QWidget*>(objeto);
        if (e->type() == QEvent::FocusIn) {
            QPalette p = boton->palette();
            for (QPalette::ColorRole fondo : {QPalette::Window, QPalette::Button}) p.setColor(fondo, QColor(75, 139, 203));
            for (QPalette::ColorRole texto : {QPalette::WindowText, QPalette::ButtonText}) p.setColor(texto, Qt::white);
            boton->setPalette(p);
            boton->setAutoFillBackground(true);
        } else {
            boton->setPalette(QPalette());  // back to the inherited colours
            boton->setAutoFillBackground(false);
        }
        return false;
    }
};

}  // namespace

void MarcaFocoDeBotones(QWidget* raiz) {
    auto* filtro = new FocoDeBoton(raiz);
    for (QAbstractButton* boton : raiz->findChildren<QAbstractButton*>())
        if (boton->focusPolicy() != Qt::NoFocus) boton->installEventFilter(filtro);
}

void InstalaAccesibilidad() {
    static const bool instalada = [] {
        QAccessible::installFactory(Fabrica);
        return true;
    }();
    Q_UNUSED(instalada);
}

}  // namespace lorum
