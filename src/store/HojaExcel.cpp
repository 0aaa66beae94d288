#include "HojaExcel.h"

#include "ErrorTabla.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <freexl.h>

namespace lorum {

namespace {

// Closes the workbook whatever happens.
struct Libro {
    const void* h = nullptr;
    ~Libro() {
        if (h) freexl_close(h);
    }
};

}  // namespace

HojaExcel::HojaExcel(const QString& libro, const QString& hoja) {
    const QString nombre = QFileInfo(libro).fileName();
    auto falla = [&](const QString& que) { throw ErrorTabla(QStringLiteral("Libro «%1»: %2").arg(nombre, que)); };
    if (!QFileInfo(libro).isFile())
        throw ErrorTabla(QStringLiteral("No se encontró el libro «%1» en «%2».")
                             .arg(nombre, QDir::toNativeSeparators(QFileInfo(libro).path())));
    Libro l;
    if (freexl_open(QFile::encodeName(libro).constData(), &l.h) != FREEXL_OK)
        falla(QStringLiteral("no se pudo leer; guárdelo como libro de Excel 97-2003 (.xls) o Excel 5.0/95."));
    unsigned int valor = 0;
    if (freexl_get_info(l.h, FREEXL_BIFF_PASSWORD, &valor) == FREEXL_OK && valor == FREEXL_BIFF_OBFUSCATED)
        falla(QStringLiteral("está protegido con contraseña."));
    unsigned int hojas = 0;
    freexl_get_info(l.h, FREEXL_BIFF_SHEET_COUNT, &hojas);
    int indice = -1;
    for (unsigned short i = 0; i < hojas && indice < 0; ++i) {
        const char* n = nullptr;
        if (freexl_get_worksheet_name(l.h, i, &n) == FREEXL_OK && n &&
            QString::fromUtf8(n).compare(hoja, Qt::CaseInsensitive) == 0)
            indice = i;
    }
    if (indice < 0) falla(QStringLiteral("no tiene la hoja «%1».").arg(hoja));
    unsigned int renglones = 0;
    unsigned short columnas = 0;
    if (freexl_select_active_worksheet(l.h, static_cast<unsigned short>(indice)) != FREEXL_OK ||
        freexl_worksheet_dimensions(l.h, &renglones, &columnas) != FREEXL_OK)
        falla(QStringLiteral("no se pudo leer la hoja «%1».").arg(hoja));
    columnas_ = columnas;
    for (unsigned int r = 1; r < renglones; ++r) {  // row 0 holds the headings
        std::vector<QVariant> fila(columnas);
        for (unsigned short c = 0; c < columnas; ++c) {
            FreeXL_CellValue celda;
            if (freexl_get_cell_value(l.h, r, c, &celda) != FREEXL_OK) continue;
            switch (celda.type) {
                case FREEXL_CELL_INT: fila[c] = double(celda.value.int_value); break;
                case FREEXL_CELL_DOUBLE: fila[c] = celda.value.double_value; break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME:
                    if (celda.value.text_value) fila[c] = QString::fromUtf8(celda.value.text_value);
                    break;
                default: break;  // empty
            }
        }
        filas_.push_back(std::move(fila));
    }
}

QVariant HojaExcel::Valor(int columna) const {
    if (Eof() || columna < 0 || columna >= columnas_) return {};
    return filas_[size_t(posicion_)][size_t(columna)];
}

}  // namespace lorum
