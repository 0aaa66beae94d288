#include "GuardiaFoco.h"

#include "ControlCampo.h"

#include <QApplication>

namespace lorum {

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
    if (campoViejo == campoNuevo) return;

    if (campoViejo && nuevo) {
        QPointer<ControlCampo> guardado(campoViejo);
        bool cancelar = false;
        dentro_ = true;
        emit campoViejo->Validar(cancelar);
        dentro_ = false;
        if (!guardado) return;
        if (cancelar) {
            dentro_ = true;
            guardado->Interior()->setFocus(Qt::OtherFocusReason);
            dentro_ = false;
            return;
        }
        guardado->AvisaFocoPerdido();
    }
    // A lost-focus rule may have sent the focus elsewhere already.
    if (campoNuevo && CampoDe(QApplication::focusWidget()) == campoNuevo) campoNuevo->AvisaFocoGanado();
}

}  // namespace lorum
