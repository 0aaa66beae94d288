#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace lorum {

// What a support call needs to know of this machine: the program's version, the operating system and
// its kernel, the Qt version, the data directory and the delivery folder (present, writable, free
// space). One line per fact, in Spanish.
QString InformeSistema(const QString& version, const QString& rutaDatos, const QString& unidadA);

// Where the system information tool is, from the registry values that name it: first the path in
// the MSINFO key of the shared tools, then "MSINFO32.EXE" in the folder the shared tools location
// names, when that file exists. Empty when neither gives one. `lee(key, value)` reads
// one value of the local machine's registry.
QString BuscaInfoSistema(
    const std::function<std::optional<QString>(const QString& clave, const QString& valor)>& lee,
    const std::function<bool(const QString& archivo)>& existe);

// One value of the local machine's registry as text (a number as its decimal digits); nothing when the
// key or the value cannot be read, and always nothing where there is no registry
// (InformeSistema_win.cpp, InformeSistema_posix.cpp).
std::optional<QString> GetKeyValue(const QString& clave, const QString& valor);

// Where there is no system information tool to find (no registry), "System Info..." shows the
// program's own report instead of the unavailable tool's message.
bool InformePropio();

}  // namespace lorum
