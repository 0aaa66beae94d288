#include "GuardiaFoco.h"

#include "ControlCampo.h"

#include <QApplication>

namespace lorum {

namespace {

// Sets a flag for as long as it lives, even when a rule throws.
struct Dentro {
    explicit Dentro(bool& bandera) : bandera_(bandera) { bandera_ = true; }
    ~Dentro() { bandera_ = false; }
    bool& bandera_;
};

}  // namespace

GuardiaFoco::GuardiaFoco(QObject* padre) : QObject(padre) {
    connect(qApp, &QApplication::focusChanged, this, &GuardiaFoco::CambioDeFoco);
}

ControlCampo* GuardiaFoco::CampoDe(QWidget* widget) {
    // Across windows too: a combo's drop-down list is a window of its own.
    for (QWidget* w = widget; w; w = w->parentWidget())
        if (auto* campo = qobject_cast<ControlCampo*>(w)) return campo;
    return nullptr;
}

void GuardiaFoco::CambioDeFoco(QWidget* viejo, QWidget* nuevo) {
    if (dentro_) return;
    ControlCampo* campoViejo = CampoDe(viejo);
    ControlCampo* campoNuevo = CampoDe(nuevo);
    if (campoViejo && campoViejo == campoNuevo) return;

    // The focus going to another window (a message box, a dialog, another program) does not leave
    // the field: it is remembered, and only a move to another control of its own window counts.
    if (campoViejo && (!nuevo || nuevo->window() != campoViejo->window())) {
        fuera_ = campoViejo;
        return;
    }
    if (!campoViejo && fuera_) {
        if (!nuevo || nuevo->window() != fuera_->window()) return;  // still away from the form
        campoViejo = std::exchange(fuera_, nullptr);
        if (campoViejo == campoNuevo) return;  // back to the same field: nothing happened
    }
    fuera_ = nullptr;

    if (campoViejo) {
        QPointer<ControlCampo> guardado(campoViejo);
        bool cancelar = false;
        {
            const Dentro d(dentro_);
            emit campoViejo->Validar(cancelar);
        }
        if (!guardado) return;
        if (cancelar) {
            const Dentro d(dentro_);
            guardado->Interior()->setFocus(Qt::OtherFocusReason);
            return;
        }
        guardado->AvisaFocoPerdido();
    }
    // A lost-focus rule may have sent the focus elsewhere already.
    if (campoNuevo && CampoDe(QApplication::focusWidget()) == campoNuevo) campoNuevo->AvisaFocoGanado();
}

}  // namespace lorum
