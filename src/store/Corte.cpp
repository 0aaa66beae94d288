#include "Corte.h"

namespace lorum {

namespace {
std::function<void()>& corte() {
    static std::function<void()> f;
    return f;
}
}  // namespace

void FijaPuntoDeCorte(std::function<void()> alCortar) { corte() = std::move(alCortar); }

void PuntoDeCorte() {
    if (corte()) corte()();
}

}  // namespace lorum
