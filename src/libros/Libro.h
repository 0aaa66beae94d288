#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <map>
#include <stdexcept>
#include <vector>

namespace lorum {

// A fault reading a workbook: the file is damaged, of a kind not read, or out of proportion. The
// message is Spanish and says what is wrong, without the file's name (the caller adds it).
class ErrorLibro : public std::runtime_error {
public:
    explicit ErrorLibro(const QString& mensaje) : std::runtime_error(mensaje.toStdString()), mensaje_(mensaje) {}
    const QString& mensaje() const noexcept { return mensaje_; }

private:
    QString mensaje_;
};

// One cell as the import sees it. A formula counts as the result its writer stored with it; a
// formula stored without one is `SinCalcular`. Dates keep their serial number (days since 1899-12-30)
// and come with their text as "dd/mm/aaaa".
struct Celda {
    enum class Tipo : quint8 { Vacia, Numero, Texto, Logico, Error, Fecha, SinCalcular };
    Tipo tipo = Tipo::Vacia;
    bool formula = false;
    double numero = 0;  // Numero, Fecha; Logico as 0 or 1
    QString texto;      // Texto; Error as its code ("#DIV/0!"); Fecha as its text

    static Celda DeNumero(double n) { return {Tipo::Numero, false, n, {}}; }
    static Celda DeTexto(QString t) { return {Tipo::Texto, false, 0, std::move(t)}; }
    static Celda DeLogico(bool b) { return {Tipo::Logico, false, b ? 1.0 : 0.0, {}}; }
    static Celda DeError(QString codigo) { return {Tipo::Error, false, 0, std::move(codigo)}; }
    static Celda DeFecha(double serie);
    bool vacia() const { return tipo == Tipo::Vacia || (tipo == Tipo::Texto && texto.isEmpty()); }
};

// Columns A to F of the rows of one sheet that hold anything there; rows are numbered from 1 as
// the spreadsheet shows them. Columns beyond F are never kept.
struct Hoja {
    static constexpr int kColumnas = 6;
    using Fila = std::array<Celda, kColumnas>;
    static constexpr int kUltimaFila = 1048576;
    QString nombre;
    std::map<int, Fila> filas;
    int limite = 100000;  // rows kept; one more throws ErrorLibro

    const Celda& celda(int fila, int columna) const;  // an empty cell where nothing is
    // Ignores columns beyond F, rows outside 1..kUltimaFila and empty cells.
    void pon(int fila, int columna, Celda c);
};

enum class FormatoLibro { Biff, Xlsx, Ods, Csv };

// Bounds against workbooks out of proportion: a zip archive's entries and what the entries read
// inflate to, and the rows with data kept for one sheet (a repeated row of an OpenDocument sheet
// counts each time).
struct LimitesLibro {
    int entradas = 10000;
    qint64 inflado = 512LL * 1024 * 1024;
    int filas = 100000;
};

struct Libro {
    FormatoLibro formato = FormatoLibro::Biff;
    std::vector<Hoja> hojas;

    // The sheet of that name (without regard to case), or nullptr.
    const Hoja* hoja(const QString& nombre) const;
};

// Reads a workbook from its bytes; the kind is told from the content (a compound document, a zip
// archive holding a spreadsheet, or else text read as CSV). Throws ErrorLibro.
Libro LeeLibro(const QByteArray& datos, const LimitesLibro& limites = {});

// Whether the bytes are a workbook of Excel or a zip archive, as opposed to text.
bool EsLibroBinario(const QByteArray& datos);

// Each kind on its own, for tests and the fuzzer.
Libro LeeBiff(const QByteArray& datos, const LimitesLibro& limites);
Libro LeeZip(const QByteArray& datos, const LimitesLibro& limites);
Libro LeeCsv(const QByteArray& datos, const LimitesLibro& limites);

// Whether a number format (its index and its code, for the ones a workbook defines) shows a date or
// a time: the built-in ones that do, or a code with a day, month, year, hour or second outside
// quotes, escapes and brackets.
bool EsFormatoDeFecha(int indice, const QString& codigo);

// The spreadsheet's name for a column (0 is "A").
QString NombreColumna(int columna);

}  // namespace lorum
