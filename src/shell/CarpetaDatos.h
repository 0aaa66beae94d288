#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace lorum {

// The data directory of a run and the read-only copy its shared files come from.
struct CarpetaDatos {
    QString ruta;
    // The installed catalogs, templates and help to bring into `ruta` on every start; empty when the
    // directory is the program's own and holds them already.
    QString instalada;
};

// Where the request lives: `--datos DIR` (`opcion`), else LORUM_DATOS (`entorno`), else the program's own
// folder when it holds the catalogs and `escribible` says it can be written, else `usuario` (the
// user's own folder, ~/.local/share/lorum). The installed copy is `share/lorum` beside the
// program's `bin` folder, or the program's own folder when that holds the catalogs but is not used.
// The file a setup program leaves beside the installed program.
inline const QString kMarcaDeInstalacion = QStringLiteral("lorum.instalado");

CarpetaDatos EligeCarpetaDatos(const std::optional<QString>& opcion, const QString& entorno, const QString& programa,
                               const QString& usuario, const std::function<bool(const QString&)>& escribible);

// The user's own data folder: ~/.local/share/lorum; on Windows the user's application data folder
// (AppData\Roaming\LORUM) (Plataforma_*.cpp).
QString CarpetaDeUsuario();

// Brings into `ruta` from `instalada` each shared file (catalogs, templates, the all-countries
// table, the considerations, the sounds) that is missing or older than the installed one, and
// creates each working table from its template when it is missing; a working table is never
// overwritten. Empty on success, else what failed (Spanish).
QString LlenaCarpetaDatos(const QString& ruta, const QString& instalada);

// The files of a data directory that come from the installed copy, relative to it.
QStringList ArchivosCompartidos();

}  // namespace lorum
