#pragma once

#include <QString>
#include <vector>

class QWidget;

namespace lorum {

struct EstadoInicia;

// The form's controls in form order, each with the kind name the walks recognise: a field control
// gives its own; a plain text box carries the property "lorumTipo" = "TextBox"; anything else is
// skipped.
QString TipoDeControl(const QWidget* control);

// Preparation walk, once at start-up: fills colCampos, names each field after its control, sets its
// width, runs Creado then Limpia, and gives single-line fields their MaxLength from nMaxLen. The
// field's accessible name and description follow its settings.
void PreparaCampos(EstadoInicia& estado, const std::vector<QWidget*>& controles);

// Clear-all after a save: every field but the catalog lists, and every plain text box; empties
// sFaltantes.
void LimpiaCampos(EstadoInicia& estado, const std::vector<QWidget*>& controles);

// Completeness check: asks every field of colCampos, joins the missing names with "," and a CR, shows
// them in one message and gives false; true when nothing is missing.
bool VerificaCampos(EstadoInicia& estado);

}  // namespace lorum
