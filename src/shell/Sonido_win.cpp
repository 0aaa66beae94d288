// The welcome sound on Windows: the system plays the file itself, without waiting for it.
#include "ServicioSonido.h"

#include <QDir>
#include <windows.h>
#include <mmsystem.h>

namespace lorum {

void plataforma::TocaWav(const QString& ruta, SonidoPcm, std::thread&) {
    const std::wstring nombre = QDir::toNativeSeparators(ruta).toStdWString();
    PlaySoundW(nombre.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

}  // namespace lorum
