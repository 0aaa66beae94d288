// The durability steps on Windows: FlushFileBuffers, MoveFileExW with write-through, CreateHardLinkW.

#include "Durabilidad.h"

#include <QDirIterator>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <io.h>
#include <windows.h>

namespace lorum::plataforma {

namespace {
std::wstring Nativo(const QString& ruta) { return QDir::toNativeSeparators(ruta).toStdWString(); }
QString Motivo() { return qt_error_string(int(::GetLastError())); }
}  // namespace

bool AseguraArchivo(QFile& archivo) {
    if (!archivo.flush()) return false;
    const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(archivo.handle()));
    return h != INVALID_HANDLE_VALUE && ::FlushFileBuffers(h);
}

// A rename made with MOVEFILE_WRITE_THROUGH is on the medium when it returns.
bool AseguraDirectorio(const QString&) { return true; }

bool Renombra(const QString& desde, const QString& hacia) {
    return ::MoveFileExW(Nativo(desde).c_str(), Nativo(hacia).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool EnlaceDuro(const QString& ruta, const QString& otro) { return ::CreateHardLinkW(Nativo(otro).c_str(), Nativo(ruta).c_str(), nullptr); }

bool EscribeNuevo(const QString& ruta, const QByteArray& bytes, const QString& modoDe, QString* motivo) {
    const HANDLE h = ::CreateFileW(Nativo(ruta).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *motivo = Motivo();
        return false;
    }
    bool ok = true;
    for (qint64 hecho = 0; ok && hecho < bytes.size();) {
        DWORD escritos = 0;
        const DWORD pide = DWORD(std::min<qint64>(bytes.size() - hecho, 1 << 30));
        ok = ::WriteFile(h, bytes.constData() + hecho, pide, &escritos, nullptr) && escritos > 0;
        hecho += escritos;
    }
    ok = ok && ::FlushFileBuffers(h);
    if (!ok) *motivo = Motivo();
    ::CloseHandle(h);
    // A read-only table stays read-only when it is replaced.
    if (ok && !modoDe.isEmpty() && QFile::exists(modoDe)) QFile::setPermissions(ruta, QFile::permissions(modoDe));
    return ok;
}

QStringList ArchivosDe(const QString& directorio) {
    QStringList r;
    for (QDirIterator it(directorio, QDir::Files | QDir::Hidden | QDir::System); it.hasNext();) {
        it.next();
        r.append(it.fileName());
    }
    return r;
}

}  // namespace lorum::plataforma
