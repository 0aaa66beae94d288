// The welcome sound on POSIX desktops: the sound server (PulseAudio, or PipeWire through its
// PulseAudio layer) through libpulse-simple, loaded when the first sound is played.
#include "ServicioSonido.h"

#include <QLibrary>
#include <cstdint>

namespace lorum {

namespace {

// The few calls of libpulse-simple, declared here so that building needs no sound headers.
struct EspecPa {
    int formato;
    uint32_t frecuencia;
    uint8_t canales;
};
using PaNuevo = void* (*)(const char*, const char*, int, const char*, const char*, const EspecPa*, const void*, const void*, int*);
using PaEscribe = int (*)(void*, const void*, size_t, int*);
using PaVacia = int (*)(void*, int*);
using PaLibera = void (*)(void*);
struct Pulse {
    PaNuevo nuevo = nullptr;
    PaEscribe escribe = nullptr;
    PaVacia vacia = nullptr;
    PaLibera libera = nullptr;
};

const Pulse& PulseSimple() {
    static const Pulse p = [] {
        Pulse r;
        QLibrary lib(QStringLiteral("pulse-simple"), 0);
        if (!lib.load()) return r;
        r.nuevo = reinterpret_cast<PaNuevo>(lib.resolve("pa_simple_new"));
        r.escribe = reinterpret_cast<PaEscribe>(lib.resolve("pa_simple_write"));
        r.vacia = reinterpret_cast<PaVacia>(lib.resolve("pa_simple_drain"));
        r.libera = reinterpret_cast<PaLibera>(lib.resolve("pa_simple_free"));
        if (!r.nuevo || !r.escribe || !r.vacia || !r.libera) r = {};
        return r;
    }();
    return p;
}

constexpr int kPaReproducir = 1;

}  // namespace

void plataforma::TocaWav(const QString&, SonidoPcm s, std::thread& hilo) {
    const Pulse& pa = PulseSimple();
    if (!pa.nuevo) return;
    hilo = std::thread([pa, s = std::move(s)] {
        const EspecPa espec{s.formato, uint32_t(s.frecuencia), uint8_t(s.canales)};
        int error = 0;
        void* flujo = pa.nuevo(nullptr, "LORUM", kPaReproducir, nullptr, "bienvenida", &espec, nullptr, nullptr, &error);
        if (!flujo) return;  // no sound server: nothing is played
        if (pa.escribe(flujo, s.muestras.constData(), size_t(s.muestras.size()), &error) == 0) pa.vacia(flujo, &error);
        pa.libera(flujo);
    });
}

}  // namespace lorum
