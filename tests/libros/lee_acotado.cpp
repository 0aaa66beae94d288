// Reads a workbook as the import does, with the process's memory bounded (POSIX: its address space,
// as `ulimit -v` bounds it; Windows: a job's memory limit): lee_acotado MEGABYTES ARCHIVO. Prints the sheet read and its rows, or the reader's
// refusal; running out of memory ends it with an error. Built without the sanitizers, which need
// an address space of their own.

#include "Libro.h"

#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <new>

bool LimitaMemoria(unsigned long long bytes);  // LimitaMemoria_posix.cpp, LimitaMemoria_win.cpp

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    if (!LimitaMemoria(std::strtoull(argv[1], nullptr, 10) * 1024 * 1024)) return 2;
    QFile f(QString::fromLocal8Bit(argv[2]));
    if (!f.open(QIODevice::ReadOnly)) return 2;
    try {
        const lorum::Libro libro = lorum::LeeLibro(f.readAll());
        for (const lorum::Hoja& h : libro.hojas) std::printf("%s %zu\n", qPrintable(h.nombre), h.filas.size());
    } catch (const lorum::ErrorLibro& e) {
        std::printf("rechazado: %s\n", qPrintable(e.mensaje()));
    } catch (const std::bad_alloc&) {
        std::printf("sin memoria\n");
        return 3;
    }
    return 0;
}
