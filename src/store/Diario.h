#pragma once

#include "Archivos.h"
#include "Cursor.h"

#include <QString>
#include <vector>

namespace lorum {

// The journal of a change in progress, in the data folder.
inline const QString kDiario = QStringLiteral("lorum.diario");

// A change of several working tables made as one step, across a kill or a power cut: whole tables
// replaced, records written, or both. Reemplaza() stages each new table beside the working one
// (copied, flushed, checked to the byte); Escribe() and Borra() take the pending record of a cursor.
// Confirma() keeps a second name for each table about to be replaced, records the intent in the
// journal (flushed, with the folder), switches the staged tables in, writes the records through
// their cursors and flushes them, then removes the journal. A change dropped unconfirmed removes
// what it staged. Throws ErrorTabla; a failure leaves every table as it was before the change.
class CambioDeTablas {
public:
    CambioDeTablas(QString datos, QString operacion);
    ~CambioDeTablas();
    CambioDeTablas(const CambioDeTablas&) = delete;
    CambioDeTablas& operator=(const CambioDeTablas&) = delete;

    // `tabla` is the working table's name; `copia` copies `origen` to the staged file.
    void Reemplaza(const QString& tabla, const QString& origen, const DefinicionTabla& leidos,
                   const FuncionCopia& copia = CopiaTabla);
    void Escribe(Cursor& cursor);  // a cursor in AddNew or Edit: Confirma makes its Update
    void Borra(Cursor& cursor);    // its current record: Confirma deletes it
    void Confirma();

private:
    struct Reemplazo {
        QString destino;    // the working table's path
        QString preparado;  // the staged copy beside it
        QString anterior;   // a second name of the old table while the change runs; empty when none
        QByteArray huella;  // SHA-1 of the staged copy
        bool cambiado = false;
    };
    struct Escritura {
        Cursor* cursor;
        bool borra;
        qint64 desplazamiento;  // where the bytes go in the file
        QByteArray bytes;
        qint64 cuenta;  // for an append, the header's count afterwards; -1 otherwise
        QByteArray antes;  // what the bytes replace, to undo
        qint64 registro = -1;
        bool intentada = false;
        bool hecha = false;
    };
    bool EscribeDiario();  // false when no journal is left in the folder
    bool Deshace();
    QString datos_;
    QString operacion_;
    std::vector<Reemplazo> reemplazos_;
    std::vector<Escritura> escrituras_;
    bool confirmado_ = false;
};

// At start-up, before any table is opened: completes the change the journal of `datos` records when
// everything it needs is there and sound, or undoes it, and removes the temporary files the program
// listed there. Returns the Spanish message for the user; empty when there was nothing to tell. When
// the folder could be neither completed nor restored, the journal stays (the next start tries
// again), `*pendiente` is set and the message says what is left to do.
QString RecuperaDiario(const QString& datos, bool* pendiente = nullptr);

}  // namespace lorum
