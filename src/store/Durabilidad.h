#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>

class QFile;

namespace lorum {

// How writes reach stable storage and names are replaced: the steps whose system calls differ by
// platform (Durabilidad_posix.cpp, Durabilidad_win.cpp). Each returns false when the system refuses
// it. Tests make any step fail through FijaFallas, to follow each operation's failure paths.

bool AseguraArchivo(QFile& archivo);                // the file's writes, on the medium
bool AseguraDirectorio(const QString& directorio);  // the folder's entries (a rename, a new file), on the medium
// Replaces whatever stands at `hacia` (a link too, not its target) by `desde`, in one step.
bool Renombra(const QString& desde, const QString& hacia);
// A second name for a file: a hard link; false where the file system has none.
bool EnlaceDuro(const QString& ruta, const QString& otro);
// Creates `ruta` (which must not exist) with `bytes`, flushed to the medium and dropped from the
// system's cache, so that a read-back reads the medium. Its mode is that of `modoDe` when that is a
// file, else what the user's umask gives a new file. On failure `motivo` gets the system's reason.
bool EscribeNuevo(const QString& ruta, const QByteArray& bytes, const QString& modoDe, QString* motivo);

// The steps tests may make fail: "asegura-archivo", "asegura-directorio", "renombra", "enlace",
// "escribe-nuevo", and "escribe" (a record written into a table). `falla(paso, ruta)` true fails it.
void FijaFallas(std::function<bool(QStringView paso, const QString& ruta)> falla);
bool FallaInyectada(QStringView paso, const QString& ruta);

namespace plataforma {
// The names of a folder's entries that are not folders (links and special files count unless they
// lead to a folder), unsorted: every table open looks a name up here.
QStringList ArchivosDe(const QString& directorio);
bool AseguraArchivo(QFile& archivo);
bool AseguraDirectorio(const QString& directorio);
bool Renombra(const QString& desde, const QString& hacia);
bool EnlaceDuro(const QString& ruta, const QString& otro);
bool EscribeNuevo(const QString& ruta, const QByteArray& bytes, const QString& modoDe, QString* motivo);
}  // namespace plataforma

}  // namespace lorum
