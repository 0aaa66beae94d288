#pragma once

#include <QByteArray>
#include <QObject>
#include <thread>

namespace lorum {

// Plays a WAV file without waiting for it; a missing or unreadable file, or a machine without a
// sound system, plays nothing and reports nothing. A PCM file goes straight to the desktop's sound
// server (PulseAudio or PipeWire, through libpulse-simple, loaded when first needed); otherwise, or
// without that library, the Qt Multimedia module lorum_sonido.so (beside the program or in
// ../lib/lorum) plays it. Neither is loaded at start-up.
class ServicioSonido : public QObject {
    Q_OBJECT
public:
    explicit ServicioSonido(QObject* padre = nullptr) : QObject(padre) {}
    ~ServicioSonido() override;
    virtual void Reproduce(const QString& ruta);

private:
    bool PorServidor(const QByteArray& wav);
    void PorModulo(const QString& ruta);

    using Reproductor = void (*)(const char16_t*, qsizetype);
    Reproductor reproductor_ = nullptr;
    bool moduloBuscado_ = false;
    std::thread hilo_;
};

// The samples of a PCM WAV file (8-bit unsigned or 16-bit little-endian, one or two channels), or
// nothing (formato 0) when it is not one.
struct SonidoPcm {
    int formato = 0;  // the sound server's sample format: 0 none, 3 S16LE, 0 U8 is told by bits
    int bits = 0;
    int canales = 0;
    int frecuencia = 0;
    QByteArray muestras;
};
SonidoPcm LeeWav(const QByteArray& wav);

}  // namespace lorum
