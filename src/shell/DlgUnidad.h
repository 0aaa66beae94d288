#pragma once

#include "UnidadEntrega.h"

#include <QDialog>
#include <functional>

class QLabel;
class QListWidget;
class QPushButton;

namespace lorum {

// "Unidad de entrega": the removable media mounted now (label, folder, free space) and "Otra
// carpeta...", with "Aceptar" and "Cancelar". Keyboard first: the list has the focus, Enter accepts.
class DlgUnidad : public QDialog {
    Q_OBJECT
public:
    // `aviso`, when not empty, is said above the list (the drive was not found); `actual` is chosen
    // when listed; `eligeCarpeta` opens a folder chooser (empty when cancelled).
    DlgUnidad(const std::vector<MedioExtraible>& medios, const QString& actual, const QString& aviso,
              std::function<QString()> eligeCarpeta, QWidget* padre = nullptr);

    QString Carpeta() const { return carpeta_; }  // the chosen folder, once accepted
    QListWidget* lista = nullptr;
    QPushButton* otra = nullptr;
    QPushButton* aceptar = nullptr;

private:
    void Acepta();
    QString carpeta_;
    std::function<QString()> eligeCarpeta_;
};

}  // namespace lorum
