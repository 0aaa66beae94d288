#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
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
// and come with their text as "dd/mm/aaaa". A number read from text (CSV) keeps the text as written.
struct Celda {
    enum class Tipo : quint8 { Vacia, Numero, Texto, Logico, Error, Fecha, SinCalcular };
    Tipo tipo = Tipo::Vacia;
    bool formula = false;
    double numero = 0;  // Numero, Fecha; Logico as 0 or 1
    QString texto;      // Texto; Error as its code ("#DIV/0!"); Fecha as its text; Numero as written (CSV)
    // A text that is a number one way or another, as "1.500" in a file that does not settle whether
    // its dot marks decimals or groups thousands: no number is taken from it.
    bool dudoso = false;

    static Celda DeNumero(double n) { return {Tipo::Numero, false, n, {}}; }
    static Celda DeTexto(QString t) { return {Tipo::Texto, false, 0, std::move(t)}; }
    static Celda DeLogico(bool b) { return {Tipo::Logico, false, b ? 1.0 : 0.0, {}}; }
    static Celda DeError(QString codigo) { return {Tipo::Error, false, 0, std::move(codigo)}; }
    static Celda DeFecha(double serie);
    bool vacia() const { return tipo == Tipo::Vacia || (tipo == Tipo::Texto && texto.isEmpty()); }
    // Empty, or a text of blanks only: no item number.
    bool enBlanco() const { return tipo == Tipo::Vacia || (tipo == Tipo::Texto && texto.trimmed().isEmpty()); }
};

// Columns A to F of the rows of one sheet that hold anything there, as far as the import reads:
// the headings in row 1, then the rows up to the first one without an item number in column A.
// Rows are numbered from 1 as the spreadsheet shows them. Columns beyond F and rows past the list
// are never kept, so memory follows the rows the import uses, whatever the file declares.
struct Hoja {
    static constexpr int kColumnas = 6;
    using Fila = std::array<Celda, kColumnas>;
    static constexpr int kUltimaFila = 1048576;
    QString nombre;
    std::map<int, Fila> filas;
    int limite = 100000;  // rows kept; one more throws ErrorLibro
    bool terminada = false;  // the list ended: the reader may stop

    const Celda& celda(int fila, int columna) const;  // an empty cell where nothing is
    // Keeps a cell; ignores columns beyond F, rows outside 1..kUltimaFila and empty cells. Readers
    // give rows in ascending order: a cell of a row after one without an item number (an empty row
    // counts) ends the list, and it and everything after it are dropped. Returns the cell kept, or
    // nullptr.
    Celda* pon(int fila, int columna, Celda c);
    // Whether the list ended before row `fila` (every row before it given already).
    bool TerminaAntesDe(int fila);

private:
    int revisada_ = 1;  // rows 2..revisada_ all have an item number
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

// What a workbook holds for the import: the sheet read (at most one) and the names of all sheets.
struct Libro {
    FormatoLibro formato = FormatoLibro::Biff;
    std::vector<Hoja> hojas;
    QStringList nombres;  // every sheet's name, in the workbook's order (the first 50)

    // The sheet of that name (without regard to case), or nullptr.
    const Hoja* hoja(const QString& nombre) const;
};

// The sheet the import reads.
inline const QString kHojaDeMercancias = QStringLiteral("Hoja1");

// Reads the sheet "Hoja1" (any case) of a workbook from its bytes; in a .xlsx or .ods without it
// and with one sheet only, that sheet. Other sheets are skipped unread; `hojas` is empty when none
// is taken. The kind is told from the content (a compound document, a zip archive holding a
// spreadsheet, or else text read as CSV). Throws ErrorLibro.
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
