// Start-up on POSIX systems: flock(2) on a file of the data folder, fontconfig on a thread, signals
// through a socket pair.

#include "CarpetaDatos.h"
#include "Plataforma.h"
#include "UnidadEntrega.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QStorageInfo>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace lorum {

struct Candado::Datos {
    int fd = -1;
    QByteArray ruta;
};

Candado::Candado() = default;

Candado::~Candado() {
    if (!d_ || d_->fd < 0) return;
    ::unlink(d_->ruta.constData());  // still locked: a start that opened it meanwhile tries again
    ::close(d_->fd);
}

Candado::Estado Candado::Toma(const QString& carpeta) {
    d_ = std::make_unique<Datos>();
    d_->ruta = QFile::encodeName(QDir(carpeta).filePath(kNombre));
    auto falla = [this] {
        motivo = QString::fromLocal8Bit(std::strerror(errno));
        return Estado::Fallo;
    };
    // An advisory lock on an open file: a crash or a kill frees it with the process. Opened without
    // following a link, and only a plain file serves.
    for (int intento = 0; intento < 3; ++intento) {
        const int fd = ::open(d_->ruta.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
        if (fd < 0) return falla();
        struct stat abierto {}, enRuta {};
        if (::fstat(fd, &abierto) != 0 || !S_ISREG(abierto.st_mode)) {
            ::close(fd);
            errno = EINVAL;
            return falla();
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            return error == EWOULDBLOCK ? Estado::Ocupado : falla();
        }
        // A program that ended removed its file: the lock counts only on the file still there.
        if (::stat(d_->ruta.constData(), &enRuta) == 0 && abierto.st_dev == enRuta.st_dev && abierto.st_ino == enRuta.st_ino) {
            d_->fd = fd;
            return Estado::Tomado;
        }
        ::close(fd);
    }
    errno = EAGAIN;
    return falla();
}

std::function<void()> LeeFuentesAparte() {
    // fontconfig's FcInit (every file under /etc/fonts parsed) is the longest step of a start and
    // needs no display; found in the library Qt already loaded, so no dependency is added.
    using Inicio = int (*)();
    auto* inicia = reinterpret_cast<Inicio>(::dlsym(RTLD_DEFAULT, "FcInit"));
    if (!inicia) return [] {};
    // Joined when waited for, or at the latest when the last copy of the waiter goes (a start that
    // ends before its first window never leaves the thread running).
    struct Hilo {
        std::thread t;
        ~Hilo() { Espera(); }
        void Espera() {
            if (t.joinable()) t.join();
        }
    };
    try {
        auto hilo = std::make_shared<Hilo>();
        hilo->t = std::thread(inicia);
        return [hilo] { hilo->Espera(); };
    } catch (const std::system_error&) {
        return [] {};  // no thread to be had: the fonts are read where they always were
    }
}

namespace {
int gTuberia[2] = {-1, -1};
void AlTerminar(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(gTuberia[0], &c, 1);
}
}  // namespace

void TerminaConLaSesion(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gTuberia) != 0) return;
    auto* aviso = new QSocketNotifier(gTuberia[1], QSocketNotifier::Read, &app);
    // exit(), not quit(): the window's closing questions are for the user, not for a session that ends.
    QObject::connect(aviso, &QSocketNotifier::activated, &app, [] { QCoreApplication::exit(0); });
    struct sigaction s {};
    s.sa_handler = AlTerminar;
    sigemptyset(&s.sa_mask);
    s.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &s, nullptr);
    sigaction(SIGINT, &s, nullptr);
}

QString UnidadPredeterminada() { return QStringLiteral("/media/floppy"); }

// Removable media are told apart by where the desktop mounts them (MediosExtraibles).
std::vector<Volumen> MediosDeEntrega::Volumenes() const {
    std::vector<Volumen> v;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes())
        v.push_back({s.rootPath(), s.name(), s.isReady() ? s.bytesAvailable() : -1, false, s.isReady() && s.isValid()});
    return v;
}

qint64 Modificado(const QString& ruta, bool soloArchivo) {
    struct stat st {};
    if (::stat(QFile::encodeName(ruta).constData(), &st) != 0 || (soloArchivo && !S_ISREG(st.st_mode))) return -1;
    return qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
}

QString CarpetaDeUsuario() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).filePath(QStringLiteral("lorum"));
}

}  // namespace lorum
