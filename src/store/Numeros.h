#pragma once

#include <QString>
#include <QStringView>

namespace lorum {

// Number to text in general decimal form: at most 15 significant digits, "." as the decimal mark,
// never an exponent (10/3 -> "3.33333333333333", 14.5 -> "14.5", 2 -> "2").
QString TextoDeNumero(double valor);

// The leading number of a text ("12abc" -> 12, " -1.5e2x" -> -150, "abc" -> 0, "" -> 0).
double NumeroDeTexto(QStringView texto);

// A number as the first `caracteres` characters of its general decimal text, read back: how amounts
// are limited (1234567.123456789 cut to 15 -> 1234567.1234567).
double CortaNumero(double valor, int caracteres);

}  // namespace lorum
