#include "ExportaCsv.h"

#include "Csv.h"
#include "Numeros.h"
#include "TablaDbf.h"

#include <array>
#include <cstring>
#include <string>

namespace lorum {

namespace {

// Number text as stored ("   14.5000") to general decimal form ("14.5"), by rewriting the digits;
// only a value with more than 15 significant digits goes through a double.
void numeroGeneral(std::string& salida, const char* p, int n) {
    while (n > 0 && (*p == ' ' || *p == '\0')) { ++p; --n; }
    while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\0')) --n;
    if (n == 0) return;
    std::string_view t(p, size_t(n));
    bool negativo = false;
    if (t.front() == '-' || t.front() == '+') {
        negativo = t.front() == '-';
        t.remove_prefix(1);
    }
    const auto punto = t.find('.');
    std::string_view entera = t.substr(0, punto);
    std::string_view fraccion = punto == std::string_view::npos ? std::string_view() : t.substr(punto + 1);
    const bool simple = !entera.empty() || !fraccion.empty();
    bool soloDigitos = simple;
    for (char c : entera) soloDigitos = soloDigitos && c >= '0' && c <= '9';
    for (char c : fraccion) soloDigitos = soloDigitos && c >= '0' && c <= '9';
    if (soloDigitos) {
        while (!entera.empty() && entera.front() == '0') entera.remove_prefix(1);
        while (!fraccion.empty() && fraccion.back() == '0') fraccion.remove_suffix(1);
        size_t significativas = entera.size() + fraccion.size();
        if (entera.empty()) {
            size_t ceros = 0;
            while (ceros < fraccion.size() && fraccion[ceros] == '0') ++ceros;
            significativas = fraccion.size() - ceros;
        }
        if (significativas <= 15) {
            if (entera.empty() && fraccion.empty()) {
                salida.push_back('0');
                return;
            }
            if (negativo) salida.push_back('-');
            if (entera.empty()) salida.push_back('0');
            else salida.append(entera);
            if (!fraccion.empty()) {
                salida.push_back('.');
                salida.append(fraccion);
            }
            return;
        }
    }
    // Damaged or very long numbers: the engine's own reading decides.
    Campo c;
    c.tipo = 'N';
    c.ancho = n;
    c.desplazamiento = 0;
    const QVariant valor = TablaDbf::ValorDe(p, c, PaginaCodigos::Cp850);
    if (valor.isValid()) salida.append(TextoDeNumero(valor.toDouble()).toStdString());
}

// Length of a text field without its trailing blanks and NULs, eight bytes at a time while it can.
int largoSinBlancos(const char* p, int n) {
    static constexpr char kOchoBlancos[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    while (n >= 8 && std::memcmp(p + n - 8, kOchoBlancos, 8) == 0) n -= 8;
    while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\0')) --n;
    return n;
}

// Byte classes for text cells: 1 needs quoting, 2 is outside ASCII.
constexpr std::array<unsigned char, 256> kClases = [] {
    std::array<unsigned char, 256> c{};
    c[','] = c['"'] = c['\r'] = c['\n'] = 1;
    for (int b = 0x80; b < 0x100; ++b) c[size_t(b)] = 2;
    return c;
}();

// Appends a text field as a CSV cell in UTF-8; plain ASCII without separators is copied as it is.
void agregaTexto(std::string& salida, const char* p, int n, const std::array<std::string, 256>& utf8) {
    unsigned clases = 0;
    for (int i = 0; i < n; ++i) clases |= kClases[static_cast<unsigned char>(p[i])];
    if (clases == 0) {
        salida.append(p, size_t(n));
        return;
    }
    const bool comillas = clases & 1;
    if (comillas) salida.push_back('"');
    for (int i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(p[i]);
        if (b == '"') salida.append("\"\"");
        else if (b < 0x80) salida.push_back(char(b));
        else salida.append(utf8[b]);
    }
    if (comillas) salida.push_back('"');
}

}  // namespace

void ExportaCsv(LectorDbf& lector, bool conBorrados, std::FILE* salida) {
    // UTF-8 of every byte of the table's code page.
    std::array<std::string, 256> utf8;
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        utf8[size_t(b)] = Decodifica(&byte, 1, lector.pagina()).toStdString();
    }

    std::string buffer;
    buffer.reserve(1 << 20);
    auto vacia = [&] {
        std::fwrite(buffer.data(), 1, buffer.size(), salida);
        buffer.clear();
    };

    const auto& campos = lector.campos();
    bool primero = true;
    if (conBorrados) {
        buffer.append("BORRADO");
        primero = false;
    }
    for (const Campo& c : campos) {
        if (!primero) buffer.push_back(',');
        primero = false;
        AgregaCampoCsv(buffer, c.nombre.toStdString());
    }
    buffer.append("\r\n");

    std::string celda;
    while (const char* registro = lector.Siguiente()) {
        const bool borrado = registro[0] == '*';
        if (borrado && !conBorrados) continue;
        primero = true;
        if (conBorrados) {
            buffer.append(borrado ? "*" : "");
            primero = false;
        }
        for (const Campo& c : campos) {
            if (!primero) buffer.push_back(',');
            primero = false;
            const char* p = registro + c.desplazamiento;
            switch (c.tipo) {
                case 'C':
                    agregaTexto(buffer, p, largoSinBlancos(p, c.ancho), utf8);
                    break;
                case 'N':
                case 'F':
                    numeroGeneral(buffer, p, c.ancho);
                    break;
                default: {
                    const QVariant v = TablaDbf::ValorDe(registro, c, lector.pagina());
                    if (!v.isValid()) break;
                    if (v.typeId() == QMetaType::QDate) celda = v.toDate().toString(QStringLiteral("yyyy-MM-dd")).toStdString();
                    else if (v.typeId() == QMetaType::Bool) celda = v.toBool() ? "T" : "F";
                    else celda = v.toString().toStdString();
                    AgregaCampoCsv(buffer, celda);
                }
            }
        }
        buffer.append("\r\n");
        if (buffer.size() > (1 << 20) - 8192) vacia();
    }
    vacia();
}

}  // namespace lorum
