#pragma once

#include "Archivos.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace lorum {

// The draft of a form not yet saved: each field's value as text by its name, the page shown and
// when it was taken. Kept as `lorum.borrador` in the data folder, in a text format of its own:
//
//   LORUM-BORRADOR 1
//   HORA 2026-12-08T10:31:00
//   PAGINA 2
//   CAMPO <name, percent-encoded> <value, percent-encoded>
//   ...
//   FIN <SHA-1 of every line before it, hex>
//
// A file that is not whole (a line lost, a checksum that does not match), of another version or
// with a line it does not know is no draft: it is never loaded.
struct Borrador {
    static constexpr int kVersion = 1;
    static inline const QString kArchivo = QStringLiteral("lorum.borrador");

    QDateTime hora;
    int pagina = 0;
    std::vector<std::pair<QString, QString>> campos;

    QByteArray Texto() const;
    static std::optional<Borrador> DeTexto(const QByteArray& texto);
};

// Writes the draft under its name in `carpeta`, beside and renamed, flushed to the medium.
ResultadoCopia GuardaBorrador(const QString& carpeta, const Borrador& borrador);
// The draft of `carpeta`; nothing when there is none or it is not sound.
std::optional<Borrador> LeeBorrador(const QString& carpeta);

}  // namespace lorum
