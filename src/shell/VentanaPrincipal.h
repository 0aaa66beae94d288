#pragma once

#include <QMainWindow>

namespace lorum {

// The program's main window; the capture form and its commands come to live in it.
class VentanaPrincipal : public QMainWindow {
    Q_OBJECT
public:
    explicit VentanaPrincipal(QWidget* padre = nullptr);
};

}  // namespace lorum
