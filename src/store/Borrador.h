#pragma once

#include "Archivos.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
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
// The draft of `carpeta`; nothing when there is none or it is not sound (then `danado`, when given,
// says that a file is there).
std::optional<Borrador> LeeBorrador(const QString& carpeta, bool* danado = nullptr);
// Puts a draft that is not sound aside as `lorum.borrador.danado` (over an older one), where the
// user can still look at it and no start offers it again; false when it could not be moved.
bool ApartaBorrador(const QString& carpeta);

// Writes and removes the draft of a folder on a thread of its own, so that typing never waits for
// the disk. What is asked last wins over what is not yet begun, and the steps reach the disk in the
// order asked: a removal is never undone by an older write. A failure is told through `alFallar`,
// on the writer's thread.
class EscritorBorrador {
public:
    EscritorBorrador(const QString& carpeta, std::function<void(const QString& mensaje)> alFallar);
    ~EscritorBorrador();  // finishes what was asked
    EscritorBorrador(const EscritorBorrador&) = delete;
    EscritorBorrador& operator=(const EscritorBorrador&) = delete;

    void Escribe(const Borrador& borrador);
    void Quita();
    void Espera();  // until what was asked is on the disk

private:
    enum class Paso { Nada, Escribir, Quitar };
    void Corre();

    const QString carpeta_;
    const std::function<void(const QString&)> alFallar_;
    std::mutex cerrojo_;
    std::condition_variable aviso_;
    Paso pendiente_ = Paso::Nada;
    QByteArray texto_;
    bool ocupado_ = false;
    bool fin_ = false;
    bool anotado_ = false;  // the caller's thread only
    std::thread hilo_;
};

}  // namespace lorum
