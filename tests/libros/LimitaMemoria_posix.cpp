#include <sys/resource.h>

bool LimitaMemoria(unsigned long long bytes) {
    const rlimit r{rlim_t(bytes), rlim_t(bytes)};
    return ::setrlimit(RLIMIT_AS, &r) == 0;
}
