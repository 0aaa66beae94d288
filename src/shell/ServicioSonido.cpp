#include "ServicioSonido.h"

#include "Archivos.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QtEndian>
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

constexpr int kPaU8 = 0, kPaS16le = 3, kPaReproducir = 1;

}  // namespace

SonidoPcm LeeWav(const QByteArray& wav) {
    SonidoPcm s;
    auto u16 = [&](qsizetype en) { return qFromLittleEndian<quint16>(wav.constData() + en); };
    auto u32 = [&](qsizetype en) { return qFromLittleEndian<quint32>(wav.constData() + en); };
    if (wav.size() < 12 || !wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE") return s;
    bool formatoVisto = false;
    for (qsizetype en = 12; en + 8 <= wav.size();) {
        const QByteArray id = wav.mid(en, 4);
        const qint64 largo = u32(en + 4);
        const qsizetype datos = en + 8;
        if (largo > wav.size() - datos) return {};
        if (id == "fmt " && largo >= 16) {
            if (u16(datos) != 1) return {};  // PCM only
            s.canales = u16(datos + 2);
            s.frecuencia = int(u32(datos + 4));
            s.bits = u16(datos + 14);
            formatoVisto = true;
        } else if (id == "data" && formatoVisto) {
            s.muestras = wav.mid(datos, qsizetype(largo));
            break;
        }
        en = datos + qsizetype(largo) + (largo & 1);
    }
    if (s.muestras.isEmpty() || s.canales < 1 || s.canales > 2 || s.frecuencia < 4000 || s.frecuencia > 192000 ||
        (s.bits != 8 && s.bits != 16))
        return {};
    s.formato = s.bits == 8 ? kPaU8 : kPaS16le;
    return s;
}

ServicioSonido::~ServicioSonido() {
    if (hilo_.joinable()) hilo_.join();
}

void ServicioSonido::Reproduce(const QString& ruta) {
    QString real;
    try {
        real = ResuelveRuta(ruta);
    } catch (const std::exception&) {
        return;  // two spellings of the file: nothing is played, as for a missing one
    }
    QFile f(real);
    if (!QFileInfo(real).isFile() || f.size() > 16 * 1024 * 1024 || !f.open(QIODevice::ReadOnly)) return;
    const Pulse& pa = PulseSimple();
    if (!pa.nuevo) return;
    SonidoPcm s = LeeWav(f.readAll());
    if (s.bits == 0) return;
    if (hilo_.joinable()) hilo_.join();  // one sound at a time
    hilo_ = std::thread([pa, s = std::move(s)] {
        const EspecPa espec{s.formato, uint32_t(s.frecuencia), uint8_t(s.canales)};
        int error = 0;
        void* flujo = pa.nuevo(nullptr, "LORUM", kPaReproducir, nullptr, "bienvenida", &espec, nullptr, nullptr, &error);
        if (!flujo) return;  // no sound server: nothing is played
        if (pa.escribe(flujo, s.muestras.constData(), size_t(s.muestras.size()), &error) == 0) pa.vacia(flujo, &error);
        pa.libera(flujo);
    });
}

}  // namespace lorum
