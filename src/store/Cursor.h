#pragma once

#include "Consulta.h"
#include "TablaDbf.h"

#include <QVariant>
#include <limits>
#include <memory>
#include <vector>

namespace lorum {

// A record set over a shared table: its own position, its own edit buffer, optionally narrowed by a
// criterion and to some columns (a select statement). Deleted records are invisible. Every Update and
// Delete reaches the file before it returns; other cursors on the same file see it at once.
// Failures throw ErrorTabla and leave the table and the file as they were.
class Cursor {
public:
    enum class Modo { Ninguno, Edicion, Alta };

    explicit Cursor(std::shared_ptr<TablaDbf> tabla, Filtro filtro = {}, std::vector<int> columnas = {});

    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    // At the end, or standing on a record that is gone (deleted): no current record either way.
    bool Eof() const;
    bool Bof() const;

    qint64 RecordCount() const;
    qint64 AbsolutePosition() const;  // -1 without a current record
    void SetAbsolutePosition(qint64 posicion);

    // Moves to the first record meeting the criterion; when none does, NoMatch() is true and the
    // position stays.
    void FindFirst(const QString& criterio);
    bool NoMatch() const { return sinCoincidencia_; }

    // An independent cursor on the same table, standing on the same record.
    Cursor Clone() const;

    int NumCampos() const;
    const Campo& CampoEn(int posicion) const;
    int IndiceCampo(QStringView nombre) const;  // -1 when absent

    // A field of the current record (of the edit buffer while editing); an empty field gives an
    // invalid QVariant. Throws without a current record or for an unknown field.
    QVariant Valor(QStringView nombre) const;
    QVariant Valor(int posicion) const;

    void AddNew();
    void Edit();
    void SetValor(QStringView nombre, const QVariant& valor);
    void SetValor(int posicion, const QVariant& valor);
    void Update();
    void CancelUpdate();
    void Delete();
    // Flushes the table's file to stable storage; for the points where the user is told work is safe.
    void Asegura() const;
    Modo EditMode() const { return modo_; }

    qint64 Bookmark() const;  // the record's place in the file; stable while the file is not replaced
    void SetBookmark(qint64 marca);
    qint64 LastModified() const { return ultimoModificado_; }

    const TablaDbf& tabla() const { return *tabla_; }
    TablaDbf& tabla() { return *tabla_; }
    // The record being edited or added, as it would be written, and where: the record's place while
    // editing, -1 for a new record (it goes after the last).
    const QByteArray& Pendiente() const { return buffer_; }
    qint64 PosicionPendiente() const { return modo_ == Modo::Edicion ? posicion_ : -1; }
    // Appends many records as one step (TablaDbf::AgregaVarios); the cursor's position stays.
    void AgregaVarios(const std::vector<QByteArray>& registros);

private:
    bool Visible(qint64 registro) const;
    qint64 Siguiente(qint64 desde) const;  // first visible at or after desde, or NumFisicos()
    qint64 Anterior(qint64 desde) const;   // last visible at or before desde, or -1
    qint64 AlFinal(qint64 registro) const;  // kFin for any place past the records
    void Sincroniza() const;
    void ExigeActual() const;
    int ColumnaReal(int posicion) const;
    int PosicionDe(QStringView nombre) const;  // throws for an unknown field

    // The one way of being past the last record, whatever the table grows to.
    static constexpr qint64 kFin = std::numeric_limits<qint64>::max();

    std::shared_ptr<TablaDbf> tabla_;
    Filtro filtro_;
    std::vector<int> columnas_;  // empty: every field
    mutable qint64 posicion_ = -1;
    mutable quint64 generacion_ = 0;
    bool sinCoincidencia_ = false;
    Modo modo_ = Modo::Ninguno;
    QByteArray buffer_;
    qint64 ultimoModificado_ = -1;
};

}  // namespace lorum
