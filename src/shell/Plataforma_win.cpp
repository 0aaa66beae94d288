// Start-up on Windows: LockFileEx on a file of the data folder; the fonts come from the system and
// need no thread; a session's end reaches the program as a window message Qt handles.

#include "CarpetaDatos.h"
#include "Plataforma.h"
#include "UnidadEntrega.h"

#include <QStandardPaths>
#include <QStorageInfo>

#include <QCoreApplication>
#include <QDir>
#include <windows.h>

namespace lorum {

struct Candado::Datos {
    HANDLE h = INVALID_HANDLE_VALUE;
    std::wstring ruta;
};

Candado::Candado() = default;

Candado::~Candado() {
    if (!d_ || d_->h == INVALID_HANDLE_VALUE) return;
    ::CloseHandle(d_->h);
    // Refused while another start holds it open (no handle shares deletion), so the file that start
    // is about to lock is never removed under it.
    ::DeleteFileW(d_->ruta.c_str());
}

Candado::Estado Candado::Toma(const QString& carpeta) {
    d_ = std::make_unique<Datos>();
    d_->ruta = QDir::toNativeSeparators(QDir(carpeta).filePath(kNombre)).toStdWString();
    const HANDLE h = ::CreateFileW(d_->ruta.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        motivo = qt_error_string(int(::GetLastError()));
        return Estado::Fallo;
    }
    OVERLAPPED o{};
    if (!::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &o)) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(h);
        if (error == ERROR_LOCK_VIOLATION) return Estado::Ocupado;
        motivo = qt_error_string(int(error));
        return Estado::Fallo;
    }
    d_->h = h;
    return Estado::Tomado;
}

std::function<void()> LeeFuentesAparte() { return [] {}; }

void TerminaConLaSesion(QCoreApplication&) {}

QString UnidadPredeterminada() { return QStringLiteral("A:\\"); }

// The drives the system calls removable, and A: when it is there.
std::vector<Volumen> MediosDeEntrega::Volumenes() const {
    std::vector<Volumen> v;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes()) {
        const std::wstring raiz = QDir::toNativeSeparators(s.rootPath()).toStdWString();
        v.push_back({s.rootPath(), s.name(), s.isReady() ? s.bytesAvailable() : -1, GetDriveTypeW(raiz.c_str()) == DRIVE_REMOVABLE,
                     s.isReady() && s.isValid()});
    }
    return v;
}

qint64 Modificado(const QString& ruta, bool soloArchivo) {
    WIN32_FILE_ATTRIBUTE_DATA datos{};
    const std::wstring nombre = QDir::toNativeSeparators(ruta).toStdWString();
    if (!GetFileAttributesExW(nombre.c_str(), GetFileExInfoStandard, &datos) ||
        (soloArchivo && (datos.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)))
        return -1;
    // 100-ns intervals since 1601 to milliseconds since 1970.
    const quint64 t = (quint64(datos.ftLastWriteTime.dwHighDateTime) << 32) | datos.ftLastWriteTime.dwLowDateTime;
    return qint64(t / 10000) - 11644473600000LL;
}

QString CarpetaDeUsuario() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

}  // namespace lorum
