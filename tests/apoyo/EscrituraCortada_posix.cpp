#include "EscrituraCortada.h"

#include <csignal>
#include <sys/resource.h>

namespace lorum::prueba {

EscrituraCortada::EscrituraCortada(qint64 bytes, const QString&) {
    std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead of ending the process
    rlimit limite{};
    ::getrlimit(RLIMIT_FSIZE, &limite);
    anterior_ = limite.rlim_cur;
    limite.rlim_cur = rlim_t(bytes);
    ::setrlimit(RLIMIT_FSIZE, &limite);
}

EscrituraCortada::~EscrituraCortada() {
    rlimit limite{};
    ::getrlimit(RLIMIT_FSIZE, &limite);
    limite.rlim_cur = rlim_t(anterior_);
    ::setrlimit(RLIMIT_FSIZE, &limite);
}

}  // namespace lorum::prueba
