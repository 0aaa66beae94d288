#include "Numeros.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace lorum {

QString TextoDeNumero(double valor) {
    if (std::isnan(valor)) return QStringLiteral("0");
    if (std::isinf(valor)) return valor > 0 ? QStringLiteral("1.79769313486232E+308") : QStringLiteral("-1.79769313486232E+308");
    if (valor == 0) return QStringLiteral("0");  // also -0
    // A whole number of up to 15 digits is its digits: the common case, without the formatting below.
    if (std::fabs(valor) < 1e15 && std::trunc(valor) == valor) return QString::number(qint64(valor));

    // Fifteen significant digits in scientific form, then laid out as a plain decimal.
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", valor);
    std::string s(buf);
    const bool negativo = s[0] == '-';
    if (negativo) s.erase(0, 1);
    const auto e = s.find('e');
    const int exponente = std::atoi(s.c_str() + e + 1);
    std::string digitos;
    for (size_t i = 0; i < e; ++i)
        if (s[i] != '.') digitos += s[i];
    while (digitos.size() > 1 && digitos.back() == '0') digitos.pop_back();

    std::string resultado;
    const int enteros = exponente + 1;  // digits before the decimal mark
    if (enteros <= 0) {
        resultado = "0." + std::string(static_cast<size_t>(-enteros), '0') + digitos;
    } else if (static_cast<size_t>(enteros) >= digitos.size()) {
        resultado = digitos + std::string(static_cast<size_t>(enteros) - digitos.size(), '0');
    } else {
        resultado = digitos.substr(0, static_cast<size_t>(enteros)) + "." + digitos.substr(static_cast<size_t>(enteros));
    }
    if (negativo) resultado.insert(resultado.begin(), '-');
    return QString::fromLatin1(resultado.data(), static_cast<qsizetype>(resultado.size()));
}

double NumeroDeTexto(QStringView texto) {
    qsizetype i = 0;
    const qsizetype n = texto.size();
    auto car = [&](qsizetype k) { return k < n ? texto[k].unicode() : char16_t(0); };
    auto esDigito = [&](qsizetype k) { return car(k) >= u'0' && car(k) <= u'9'; };
    while (i < n && (texto[i] == u' ' || texto[i] == u'\t')) ++i;

    std::string numero;
    if (car(i) == u'+' || car(i) == u'-') numero += static_cast<char>(car(i++));
    bool hayDigitos = false;
    while (esDigito(i)) { numero += static_cast<char>(car(i++)); hayDigitos = true; }
    if (car(i) == u'.') {
        numero += '.';
        ++i;
        while (esDigito(i)) { numero += static_cast<char>(car(i++)); hayDigitos = true; }
    }
    if (!hayDigitos) return 0;
    if ((car(i) == u'e' || car(i) == u'E')) {
        qsizetype k = i + 1;
        std::string exp = "e";
        if (car(k) == u'+' || car(k) == u'-') exp += static_cast<char>(car(k++));
        if (esDigito(k)) {
            while (esDigito(k)) exp += static_cast<char>(car(k++));
            numero += exp;
        }
    }
    const double v = std::strtod(numero.c_str(), nullptr);
    return std::isfinite(v) ? v : 0;
}

double CortaNumero(double valor, int caracteres) {
    // A whole number whose digits fit stays as it is.
    if (std::fabs(valor) < 1e14 && std::trunc(valor) == valor && QString::number(qint64(valor)).size() <= caracteres) return valor == 0 ? 0.0 : valor;
    return NumeroDeTexto(TextoDeNumero(valor).left(caracteres));
}

}  // namespace lorum
