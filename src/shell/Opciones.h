#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace lorum {

// The program's command line, read once before any window: --datos and --unidad-a (each as
// "--opcion valor" or "--opcion=valor"), --version, --help. Other arguments are Qt's own
// (-platform, -style) and are left to it.
struct Opciones {
    std::optional<QString> datos;    // the data folder, when given
    std::optional<QString> unidadA;  // the delivery drive's folder, when given
    bool version = false;
    bool ayuda = false;
    QString error;  // a mistake in the command line, to print on the terminal; the program ends with 2
};
Opciones LeeOpciones(const QStringList& argumentos);

// The text of --help.
QString AyudaDeOpciones();

}  // namespace lorum
