#pragma once

#include <QString>
#include <functional>
#include <memory>

class QCoreApplication;

namespace lorum {

// What start-up does differently on each platform (Plataforma_posix.cpp, Plataforma_win.cpp).

// The lock that keeps one program on a data folder: the file `lorum.candado` in the folder itself,
// locked while the program runs; the system frees the lock with the process however it ends.
class Candado {
public:
    enum class Estado { Tomado, Ocupado, Fallo };
    static inline const QString kNombre = QStringLiteral("lorum.candado");

    Candado();
    Candado(const Candado&) = delete;
    Candado& operator=(const Candado&) = delete;
    ~Candado();  // frees the lock and removes the file

    // Takes the lock of `carpeta`: Ocupado when another program holds it; Fallo when it cannot be
    // taken at all (the file cannot be made or opened, is not a plain file), with the reason in
    // `motivo`. A link at the file's name is never followed.
    Estado Toma(const QString& carpeta);
    QString motivo;

private:
    struct Datos;
    std::unique_ptr<Datos> d_;
};

// Reads the system's font configuration on another thread while start-up goes on; the returned
// function waits for it (call it before the first widget measures a text). Started once the
// application object exists: from then on no thread changes the environment the reading consults.
std::function<void()> LeeFuentesAparte();

// A file's modification time in milliseconds, as its copy keeps it; -1 when there is nothing there
// (or, with `soloArchivo`, nothing but a file). The system's own call: no time zone is read on every
// start.
qint64 Modificado(const QString& ruta, bool soloArchivo);

// A session that ends (SIGTERM, Ctrl+C in a terminal) ends the run as the event loop's exit does.
void TerminaConLaSesion(QCoreApplication& app);

}  // namespace lorum
