#pragma once

#include <QString>
#include <vector>

namespace lorum {

// One field of a table: its name (10 characters at most), kind ('C' text, 'N' number, 'F' float,
// 'D' date, 'L' logical; other kinds are read as absent), declared width and decimals.
struct Campo {
    QString nombre;
    char tipo = 'C';
    int ancho = 1;
    int decimales = 0;
    int desplazamiento = 0;  // offset inside the record, after the deleted flag; set by the table
};

using DefinicionTabla = std::vector<Campo>;

inline Campo CampoC(const char* nombre, int ancho) { return {QString::fromLatin1(nombre), 'C', ancho, 0, 0}; }
inline Campo CampoN(const char* nombre, int ancho, int decimales = 0) {
    return {QString::fromLatin1(nombre), 'N', ancho, decimales, 0};
}
inline Campo CampoD(const char* nombre) { return {QString::fromLatin1(nombre), 'D', 8, 0, 0}; }

}  // namespace lorum
