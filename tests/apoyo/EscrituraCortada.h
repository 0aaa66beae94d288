#pragma once

#include <QString>
#include <QtGlobal>

namespace lorum::prueba {

// While it lives, writes fail as on a medium that fills up (EscrituraCortada_posix.cpp,
// EscrituraCortada_win.cpp). POSIX: the process's file-size limit stops any write past `bytes`, a
// real write cut half-way. Windows has no such limit: there the new file whose name contains
// `nombre` cannot be written.
class EscrituraCortada {
public:
    EscrituraCortada(qint64 bytes, const QString& nombre);
    EscrituraCortada(const EscrituraCortada&) = delete;
    EscrituraCortada& operator=(const EscrituraCortada&) = delete;
    ~EscrituraCortada();

private:
    quint64 anterior_ = 0;
};

}  // namespace lorum::prueba
