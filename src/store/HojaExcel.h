#pragma once

#include <QString>
#include <QVariant>
#include <vector>

namespace lorum {

// A worksheet of an Excel 5.0/95 (BIFF5) or 97-2003 (BIFF8) workbook read as a table, as the "Excel
// 5.0;" driver gives it: the first row holds the headings, the records start on the second, columns
// are read by position. Numbers come as doubles, texts (and dates, as their text) as strings, empty
// cells as an invalid QVariant. The whole sheet is read when opened. Throws ErrorTabla naming the
// workbook and the fault.
class HojaExcel {
public:
    HojaExcel(const QString& libro, const QString& hoja);

    void MoveFirst() { posicion_ = 0; }
    void MoveNext() {
        if (posicion_ < RecordCount()) ++posicion_;
    }
    bool Eof() const { return posicion_ >= RecordCount(); }
    qint64 RecordCount() const { return qint64(filas_.size()); }
    int NumCampos() const { return columnas_; }
    QVariant Valor(int columna) const;
    int FilaDeHoja() const { return int(posicion_) + 2; }  // the row as the spreadsheet numbers it

private:
    std::vector<std::vector<QVariant>> filas_;
    int columnas_ = 0;
    qint64 posicion_ = 0;
};

}  // namespace lorum
