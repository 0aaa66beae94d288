#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace lorum {

class ControlCampo;

// Watches the application's focus. Before the focus may leave a field control it raises that field's
// Validar; a cancelled leave puts the focus back and the field's lost-focus rules do not run.
// Message boxes shown during a validation do not start another one, and the focus going to another
// window (a message box) and coming back is no leave at all.
class GuardiaFoco : public QObject {
    Q_OBJECT
public:
    explicit GuardiaFoco(QObject* padre = nullptr);
    static ControlCampo* CampoDe(QWidget* widget);  // the field control a widget belongs to, if any

private:
    void CambioDeFoco(QWidget* viejo, QWidget* nuevo);
    bool dentro_ = false;
    QPointer<ControlCampo> fuera_;  // the field that had the focus when it went to another window
};

}  // namespace lorum
