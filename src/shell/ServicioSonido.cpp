#include "ServicioSonido.h"

#include "Archivos.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cstdint>

namespace lorum {

namespace {

constexpr int kPaU8 = 0, kPaS16le = 3;

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
    SonidoPcm pcm = LeeWav(f.readAll());
    if (pcm.bits == 0) return;
    if (hilo_.joinable()) hilo_.join();  // one sound at a time
    plataforma::TocaWav(real, std::move(pcm), hilo_);
}

}  // namespace lorum
