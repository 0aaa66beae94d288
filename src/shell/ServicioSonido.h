#pragma once

#include <QObject>

class QSoundEffect;

namespace lorum {

// Plays a WAV file without waiting for it; a missing file plays nothing and reports nothing.
class ServicioSonido : public QObject {
    Q_OBJECT
public:
    explicit ServicioSonido(QObject* padre = nullptr) : QObject(padre) {}
    virtual void Reproduce(const QString& ruta);

private:
    QSoundEffect* efecto_ = nullptr;
};

}  // namespace lorum
