#pragma once

#include "Campo.h"
#include "Durabilidad.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace lorum {

// The path of the file of a directory whose name equals `nombre` without regard to letter case; when
// there is none, the directory joined with `nombre` as given. Throws ErrorTabla when two files differ
// only in case, rather than guess between them.
QString ResuelveArchivo(const QString& directorio, const QString& nombre);
QString ResuelveRuta(const QString& ruta);  // the same for a whole path
bool ExisteArchivo(const QString& ruta);    // letter case ignored in the file's name

// Flushes a folder's entries (a file renamed into it) to stable storage; false when refused.
bool AseguraDirectorio(const QString& directorio);

// Checks a table file before it may replace a working table, to the byte: the header's length is that
// of its field descriptors and terminator, the record length is 1 + the fields' widths, the file holds
// every record the header counts, each readable, and every field of `leidos` is there by name (any
// case) and kind. Throws ErrorTabla naming the file and the fault. (Reading alone stays tolerant.)
void CompruebaTabla(const QString& ruta, const DefinicionTabla& leidos);

// Outcome of a whole-file copy: whether it worked and, when not, a Spanish message naming the file.
struct ResultadoCopia {
    bool ok = false;
    QString mensaje;
    bool escrito = false;  // the name holds the new bytes, though the folder may not be on the medium yet
};

// The program's own temporary files in a folder are named in a list there (`lorum.temporales`)
// before they are made, so that a start after a kill removes exactly them and nothing of the
// user's. Staged tables (`Preparada`) tell that a change was under way.
enum class Temporal { Anotado, Preparada, SinAnotar };
void AnotaTemporal(const QString& ruta, Temporal tipo = Temporal::Anotado);
// The names the folder's list holds (plain names of that folder only).
QStringList TemporalesAnotados(const QString& carpeta);
// Removes the files the folder's list names, then the list; true when a staged table was among them.
bool QuitaTemporales(const QString& carpeta);

// Copies a table file over another, atomically: the copy is written beside the target and renamed
// over it, so a failure leaves the target byte for byte as it was; a target that was there keeps its
// mode. An open table of the target path is read anew afterwards. Both names are matched without
// regard to letter case.
ResultadoCopia CopiaTabla(const QString& origen, const QString& destino);
using FuncionCopia = std::function<ResultadoCopia(const QString& origen, const QString& destino)>;

// Writes `bytes` under the name `ruta`, never through it: into a new file beside it (named in the
// folder's list of temporaries unless `SinAnotar`), flushed to the medium and dropped from the
// system's cache (so a read-back reads the medium), then renamed over the name, which replaces a link
// rather than its target. The file keeps the mode of the file it replaces; a new one follows the
// umask. A folder or any other thing that is neither a file nor a link at that name is refused;
// nothing outside the folder is written.
ResultadoCopia EscribeSobreNombre(const QString& ruta, const QByteArray& bytes, Temporal temporal = Temporal::Anotado);

// A text as one word of a line of the program's own files (journal, draft): percent-encoded, so
// that blanks, line ends and accents stay inside it; "-" stands for the empty text.
QByteArray PalabraDeTexto(const QString& texto);
QString TextoDePalabra(const QByteArray& palabra);

// The whole content of a file; on failure `error` gets the system's reason.
QByteArray LeeArchivo(const QString& ruta, QString* error);

}  // namespace lorum
