#pragma once

#include "Durabilidad.h"

#include "Campo.h"
#include "PaginaCodigos.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace lorum {

// What a table file's header says, checked against the file's size.
struct EstructuraDbf {
    DefinicionTabla campos;
    int largoEncabezado = 0;
    int largoRegistro = 0;
    qint64 numRegistros = 0;  // whole records that header and size both vouch for
    std::optional<PaginaCodigos> marca;
    // What the header claims, for the strict check of a table that is to replace a working one.
    quint8 version = 0;
    qint64 cuentaEncabezado = 0;
    qint64 tamanoArchivo = 0;
    int finDescriptores = 0;  // where the field descriptors end (the terminator's place)
    bool conTerminador = false;
};

// The largest number a numeric field holds, as text ("99999999.9999999999" for N 19,10).
QString MayorNumero(const Campo& campo);


// Reads and checks the header of an open file; throws ErrorTabla naming the file.
EstructuraDbf LeeEstructura(QFile& archivo);

// Reads a table file from start to end without holding it in memory, for bulk readers such as the CSV
// export; the same header checks as TablaDbf, the same end of the records.
class LectorDbf {
public:
    explicit LectorDbf(const QString& ruta);  // throws ErrorTabla
    const DefinicionTabla& campos() const { return estructura_.campos; }
    PaginaCodigos pagina() const { return pagina_; }
    qint64 cuenta() const { return estructura_.numRegistros; }  // whole records header and size vouch for
    // The next record, deleted ones included (flag '*'), or nullptr at the end.
    const char* Siguiente();

private:
    void Llena();
    QFile archivo_;
    EstructuraDbf estructura_;
    PaginaCodigos pagina_ = PaginaCodigos::Cp850;
    QByteArray bloque_;
    qint64 posicion_ = 0;
    qint64 leidos_ = 0;
    bool fin_ = false;
};

// One table file held in memory and shared by every cursor of the process that opens it. Each write
// reaches the file at once: the record (and, for an append, the end mark) first, then the header's
// count and date, so a file copied right after a write holds it. Reads trust the header only as far
// as the file size confirms and never parse a partial record. Throws ErrorTabla.
class TablaDbf {
public:
    // The shared table of a file path that exists (already resolved for letter case).
    static std::shared_ptr<TablaDbf> Abre(const QString& ruta);

    // Writes a new table with no records, replacing any file of that path atomically. With no code
    // page the header's mark stays 0, as a plain dBase III table has it.
    static void Crea(const QString& ruta, const DefinicionTabla& campos,
                     std::optional<PaginaCodigos> pagina = PaginaCodigos::Cp850);

    // Reads the file anew into the shared table of that path, when one is open; its cursors then see
    // the new content. Used after the file was replaced on disk.
    static void RecargaSiAbierta(const QString& ruta);

    // Date written into headers; tests fix it so that bytes can be compared.
    static void FijaReloj(std::function<QDate()> reloj);

    const QString& ruta() const { return ruta_; }
    QString nombre() const;
    const DefinicionTabla& campos() const { return campos_; }
    int IndiceCampo(QStringView nombre) const;  // -1 when absent
    PaginaCodigos pagina() const { return pagina_; }
    int largoRegistro() const { return largoRegistro_; }
    int largoEncabezado() const { return largoEncabezado_; }

    qint64 NumFisicos() const { return numRegistros_; }  // deleted records included
    bool Borrado(qint64 registro) const { return datos_[registro * largoRegistro_] == '*'; }
    bool HayBorrados() const { return numBorrados_ > 0; }
    qint64 NumBorrados() const { return numBorrados_; }
    const char* Registro(qint64 registro) const { return datos_.constData() + registro * largoRegistro_; }

    QVariant Valor(qint64 registro, int campo) const;
    static QVariant ValorDe(const char* registro, const Campo& campo, PaginaCodigos pagina);

    // A record with every field empty, and one field of a record buffer set; refuses (throws) a
    // value that cannot be stored without changing the buffer.
    QByteArray RegistroVacio() const;
    void PonValor(QByteArray& registro, int campo, const QVariant& valor) const;

    void Reescribe(qint64 registro, const QByteArray& bytes);
    qint64 Agrega(const QByteArray& bytes);
    // Appends many records as one step: the records and the end mark are written past the header's
    // count and flushed, and only then the count and date, flushed again; a reader sees none of
    // them or all. Returns the first new record's place.
    qint64 AgregaVarios(const std::vector<QByteArray>& registros);
    void Borra(qint64 registro);
    // Flushes the file to stable storage (the writes above only reach the system's cache).
    void Asegura() const;

    // Grows each time the file is read anew, so cursors can tell their positions may be stale.
    quint64 generacion() const { return generacion_; }

private:
    explicit TablaDbf(QString ruta);
    void Carga();
    void EscribeEnArchivo(qint64 posicion, const QByteArray& bytes, bool conCuenta);
    void Sella();
    [[noreturn]] void Falla(const QString& que) const;

    QString ruta_;
    DefinicionTabla campos_;
    PaginaCodigos pagina_ = PaginaCodigos::Cp850;
    int largoEncabezado_ = 0;
    int largoRegistro_ = 0;
    qint64 numRegistros_ = 0;
    qint64 numBorrados_ = 0;
    QByteArray datos_;  // the records, back to back
    QDateTime sello_;   // modification time and size at the last read or write, to notice outside changes
    qint64 selloTamano_ = -1;
    quint64 generacion_ = 0;
};

}  // namespace lorum
