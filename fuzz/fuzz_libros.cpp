// libFuzzer target for the workbook reader: any bytes, read as Excel 5.0/97 (compound document or a
// bare stream), .xlsx and .ods (zip), or CSV. The reader may refuse them with ErrorLibro, nothing else;
// what it returns keeps to columns A to F and to real row numbers.
#include "Libro.h"

#include <QtGlobal>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo) {
    static const bool callado = [] {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});  // QBuffer's seek warnings
        return true;
    }();
    (void)callado;
    const QByteArray bytes(reinterpret_cast<const char*>(datos), qsizetype(largo));
    lorum::LimitesLibro limites;
    limites.inflado = 16 * 1024 * 1024;  // enough for the seeds; keeps each run short
    limites.filas = 20000;
    try {
        const lorum::Libro libro = lorum::LeeLibro(bytes, limites);
        for (const lorum::Hoja& h : libro.hojas) {
            if (int(h.filas.size()) > limites.filas) std::abort();
            for (const auto& [fila, celdas] : h.filas) {
                if (fila < 1 || fila > lorum::Hoja::kUltimaFila) std::abort();
                for (const lorum::Celda& c : celdas) (void)c.texto.size();
            }
        }
    } catch (const lorum::ErrorLibro& e) {
        if (e.mensaje().isEmpty()) std::abort();
    }
    return 0;
}
