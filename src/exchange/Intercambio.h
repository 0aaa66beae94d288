#pragma once

#include "Archivos.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

namespace lorum {

// Whether a file matches a path, its name compared without regard to case: -1 (true) or 0.
int FExist(const QString& Ruta);

// The four working tables in the order they are delivered.
const QStringList& TablasDeEntrega();

// Outcome of a delivery or a recovery; on failure a Spanish message naming the file and the reason.
struct ResultadoIntercambio {
    bool ok = false;
    QString mensaje;
};

// Copies working tables from the data directory to the root of the drive, in the order given. Each
// copy is atomic (never a half-written file under a delivered name), written beside its name and
// renamed over it (a link on the medium is replaced, never written through), flushed to the medium,
// file and folder, and read back from the medium and compared byte for byte with its source. Stops
// at the first failure.
ResultadoIntercambio EntregaTablas(const QString& datos, const QString& unidad, const QStringList& tablas);

// What a recovery finds on the drive before it touches anything.
enum class EstadoUnidad { SinUnidad, Faltan, Danada, Lista };
struct RevisionUnidad {
    EstadoUnidad estado = EstadoUnidad::Lista;
    QString mensaje;  // the engine's reason for a damaged table
};
// Looks for each table on the drive (name in any case) and opens and checks it with the engine:
// readable to its last record and holding the fields the program reads.
RevisionUnidad RevisaUnidad(const QString& unidad, const QStringList& tablas);

// One table copied from a folder to another, repeated a bounded number of times while it fails.
ResultadoCopia CopiaA(const QString& Origen, const QString& Destino, const QString& QBase,
                      const FuncionCopia& copia = CopiaTabla);

// Replaces working tables with the drive's copies, all of them or none, as one step across a kill
// or a power cut (CambioDeTablas): every copy is staged and checked before any table is switched, so
// the data directory always holds one whole request. The drive is only read. `operacion` names the
// change for the start-up message should it be cut; `copia` is replaceable for tests.
ResultadoIntercambio ReemplazaTablas(const QString& unidad, const QString& datos, const QStringList& tablas,
                                     const FuncionCopia& copia = CopiaTabla,
                                     const QString& operacion = QStringLiteral("Recupera Información"));

}  // namespace lorum

namespace lorum {

// What the list of saved requests shows of a folder holding the four tables, read with the engine:
// the applicant's RFC and name, the procedure (named from the catalog of `datos`), the number of
// items, the value in dollars and when it was saved. A folder whose tables are missing or damaged
// is `ok == false`, with the reason.
struct ResumenSolicitud {
    bool ok = false;
    QString mensaje;
    QString carpeta;
    QString rfc, nombre, tramite;
    qint64 partidas = 0;
    double dolares = 0;
    QDateTime guardada;
};
ResumenSolicitud LeeResumen(const QString& carpeta, const QString& datos);
// Whether a folder holds the four tables (names in any case).
bool TieneSolicitud(const QString& carpeta);
// The folders directly under `raiz` that hold the four tables (names in any case), by name.
QStringList CarpetasDeSolicitudes(const QString& raiz);

}  // namespace lorum
