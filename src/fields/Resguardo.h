#pragma once

#include "EstadoInicia.h"

#include <QObject>
#include <functional>
#include <utility>

namespace lorum {

class ServicioMensajes;

// The one guard between Qt and the program's rules and commands. A table-engine error (or any other
// exception) ends the work with its message and the program goes on; nothing escapes into Qt's event
// loop. True when the work ran to its end. Without a message service the failure is only dropped.
bool Resguarda(ServicioMensajes* mensajes, const std::function<void()>& trabajo) noexcept;

// Connects a rule to a notification (focus, key, click, grid) through Resguarda. The message service
// is read from the shared state when the rule runs.
template <typename Emisor, typename Senal, typename Regla>
QMetaObject::Connection ConectaRegla(const EstadoInicia& estado, Emisor* emisor, Senal senal, QObject* contexto,
                                     Regla regla) {
    // The return type lets Qt find how many of the signal's arguments the rule takes.
    return QObject::connect(emisor, senal, contexto,
                            [&estado, regla](auto&&... argumentos) -> decltype(std::declval<const Regla&>()(argumentos...), void()) {
                                Resguarda(estado.mensajes, [&] { regla(argumentos...); });
                            });
}

// Runs a rule once the current event has finished (a zero timer), through Resguarda.
void Difiere(const EstadoInicia& estado, QObject* contexto, std::function<void()> regla);

}  // namespace lorum
