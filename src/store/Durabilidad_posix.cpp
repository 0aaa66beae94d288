// The durability steps on POSIX systems: fsync, rename(2), link(2), and new files that follow the umask.

#include "Durabilidad.h"

#include <QDir>
#include <QFileInfo>
#include <dirent.h>

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lorum::plataforma {

namespace {
QString Motivo() { return QString::fromLocal8Bit(std::strerror(errno)); }
}  // namespace

bool AseguraArchivo(QFile& archivo) { return archivo.flush() && ::fsync(archivo.handle()) == 0; }

bool AseguraDirectorio(const QString& directorio) {
    const int fd = ::open(QFile::encodeName(directorio).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool Renombra(const QString& desde, const QString& hacia) {
    return ::rename(QFile::encodeName(desde).constData(), QFile::encodeName(hacia).constData()) == 0;
}

bool EnlaceDuro(const QString& ruta, const QString& otro) {
    return ::link(QFile::encodeName(ruta).constData(), QFile::encodeName(otro).constData()) == 0;
}

bool EscribeNuevo(const QString& ruta, const QByteArray& bytes, const QString& modoDe, QString* motivo) {
    const QByteArray nombre = QFile::encodeName(ruta);
    // 0666 through the umask, as any program's new files; never following a link at the name.
    const int fd = ::open(nombre.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        *motivo = Motivo();
        return false;
    }
    bool ok = true;
    struct stat st {};
    if (!modoDe.isEmpty() && ::stat(QFile::encodeName(modoDe).constData(), &st) == 0 && S_ISREG(st.st_mode))
        ok = ::fchmod(fd, st.st_mode & 07777) == 0;
    for (qint64 hecho = 0; ok && hecho < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + hecho, size_t(bytes.size() - hecho));
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        hecho += n;
    }
    ok = ok && ::fsync(fd) == 0;
    if (!ok) *motivo = Motivo();
#ifdef POSIX_FADV_DONTNEED
    if (ok) ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);  // a read-back must read the medium
#endif
    if (::close(fd) != 0 && ok) {
        *motivo = Motivo();
        ok = false;
    }
    return ok;
}

QStringList ArchivosDe(const QString& directorio) {
    // Straight from the directory, with the kind from the entry.
    QStringList r;
    const QDir dir(directorio);
    if (DIR* d = ::opendir(QFile::encodeName(directorio).constData())) {
        while (const dirent* e = ::readdir(d)) {
            if (e->d_type == DT_DIR) continue;
            const QString entrada = QFile::decodeName(e->d_name);
            if (e->d_type == DT_REG || !QFileInfo(dir.filePath(entrada)).isDir()) r.append(entrada);
        }
        ::closedir(d);
    }
    return r;
}

}  // namespace lorum::plataforma
