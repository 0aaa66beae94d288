#include "VentanaPrincipal.h"

namespace lorum {

VentanaPrincipal::VentanaPrincipal(QWidget* padre) : QMainWindow(padre) {
    setWindowTitle(QStringLiteral("LORUM"));
    resize(800, 600);
}

}  // namespace lorum
