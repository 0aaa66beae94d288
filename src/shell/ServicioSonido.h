#pragma once

#include <QByteArray>
#include <QObject>
#include <thread>

namespace lorum {

// Plays a PCM WAV file without waiting for it: on the desktop's sound server (PulseAudio, or PipeWire
// through its PulseAudio layer) with libpulse-simple, loaded when the first sound is played, never
// at start-up; on Windows through the system's own player (Sonido_posix.cpp, Sonido_win.cpp). A
// missing or unreadable file, another kind of file, or a machine without a sound server plays
// nothing and reports nothing.
class ServicioSonido : public QObject {
    Q_OBJECT
public:
    explicit ServicioSonido(QObject* padre = nullptr) : QObject(padre) {}
    ~ServicioSonido() override;
    virtual void Reproduce(const QString& ruta);

private:
    std::thread hilo_;
};

// The samples of a PCM WAV file (8-bit unsigned or 16-bit little-endian, one or two channels), or
// nothing (formato 0) when it is not one.
struct SonidoPcm {
    int formato = 0;  // the sound server's sample format (0 U8, 3 S16LE); `bits` is 0 when not PCM
    int bits = 0;
    int canales = 0;
    int frecuencia = 0;
    QByteArray muestras;
};
SonidoPcm LeeWav(const QByteArray& wav);

namespace plataforma {
// Starts playing a checked WAV file (its path and its samples); a thread it starts goes into `hilo`.
void TocaWav(const QString& ruta, SonidoPcm pcm, std::thread& hilo);
}  // namespace plataforma

}  // namespace lorum
