#pragma once

#include <QString>

class QTabBar;
class QWidget;

namespace lorum {

// What screen readers hear where Qt's own interfaces name a control by its value: a picker
// (`CajaCombo`) by its field's name with its choice as value, and a page tab list marked with the
// property "lorumPestanas" by its own name, with its tabs as children. Installed once; later calls
// do nothing.
void InstalaAccesibilidad();
// Names a page tab list for screen readers, whatever its current page.
void NombraPestanas(QTabBar* barra, const QString& nombre);
// The buttons and check boxes under `raiz` take the fields' focus colours while they hold the focus,
// so where the keys go is always plain to see. Through the palette: a style sheet would restyle
// every control of the form and slow the start.
void MarcaFocoDeBotones(QWidget* raiz);

}  // namespace lorum
