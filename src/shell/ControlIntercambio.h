#pragma once

#include "UnidadEntrega.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QMenu;
class QWidget;

namespace lorum {

class Captura;
struct EstadoInicia;

// The shell's side of handing requests around: choosing the delivery medium, keeping copies of the
// saved request in folders of their own and opening them again, and the list of recent copies. The
// copies are the user's archive; the request in the data folder stays the one the form works on.
class ControlIntercambio : public QObject {
    Q_OBJECT
public:
    ControlIntercambio(EstadoInicia& estado, Captura& captura, MediosDeEntrega& medios, QWidget* ventana);

    // "Unidad de entrega...": the chooser; the choice is used at once and remembered.
    void EligeUnidadDeEntrega();
    // The chooser opened by a command that found no drive, with `aviso`; the chosen folder.
    std::optional<QString> UnidadEnFalta(const QString& aviso);
    // "Guardar copia de la solicitud...": the saved request's four tables into a folder of the
    // requests folder (proposed: "<RFC> <fecha>"), verified as a delivery is.
    void GuardaCopia();
    // "Abrir solicitud guardada...": the list of saved requests; the chosen one replaces the tables.
    void AbreGuardada();
    // Opens the request saved in `carpeta`, after asking whether to save the form's changes.
    void AbreCarpeta(const QString& carpeta);
    // Fills "Solicitudes recientes" (RFC — name — date of each); `corre` runs a chosen entry.
    void LlenaRecientes(QMenu* menu, const std::function<void(const std::function<void()>&)>& corre);

    // The requests folder: LORUM in the user's documents.
    QString RaizSolicitudes() const;

    // What the user is shown, replaceable by tests: the medium chooser (the chosen folder, empty when
    // cancelled), the requests list (the folder to open, empty when cancelled), the folder for a
    // copy (proposed), and a folder chooser for "Otra carpeta...".
    std::function<QString(const std::vector<MedioExtraible>& medios, const QString& aviso)> MuestraUnidades;
    std::function<QString()> MuestraSolicitudes;
    std::function<QString(const QString& propuesta)> EligeCarpetaCopia;
    std::function<QString(const QString& titulo)> EligeOtraCarpeta;
    QString raiz;  // the requests folder when not the user's documents (tests)

private:
    void Usa(const QString& carpeta);

    EstadoInicia& estado_;
    Captura& captura_;
    MediosDeEntrega& medios_;
    QWidget* ventana_;
};

}  // namespace lorum
