#pragma once

#include <QApplication>

namespace lorum {

// The busy pointer for as long as it lives.
struct PunteroOcupado {
    PunteroOcupado() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~PunteroOcupado() { QApplication::restoreOverrideCursor(); }
    PunteroOcupado(const PunteroOcupado&) = delete;
    PunteroOcupado& operator=(const PunteroOcupado&) = delete;
};

}  // namespace lorum
