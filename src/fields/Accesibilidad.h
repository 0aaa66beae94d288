#pragma once

#include <QString>

class QTabBar;

namespace lorum {

// What screen readers hear where Qt's own interfaces name a control by its value: a picker
// (`CajaCombo`) by its field's name with its choice as value, and a page tab list marked with the
// property "lorumPestanas" by its own name, with its tabs as children. Installed once; later calls
// do nothing.
void InstalaAccesibilidad();
// Names a page tab list for screen readers, whatever its current page.
void NombraPestanas(QTabBar* barra, const QString& nombre);

}  // namespace lorum
