#include "Numeros.h"

#include <gtest/gtest.h>

using namespace lorum;

TEST(Numeros, TextoEnFormaDecimalGeneral) {
    const struct {
        double valor;
        const char* texto;
    } casos[] = {
        {10.0 / 3, "3.33333333333333"}, {14.5, "14.5"}, {2, "2"}, {0, "0"}, {-0.0, "0"},
        {-2.5, "-2.5"}, {1234567.1234567, "1234567.1234567"}, {0.1 + 0.2, "0.3"},
        {1e-7, "0.0000001"}, {123456789012345678.0, "123456789012346000"}, {100, "100"},
        {2.0 / 3, "0.666666666666667"}, {3.3333333333, "3.3333333333"}, {1e15, "1000000000000000"},
    };
    for (const auto& c : casos) EXPECT_EQ(TextoDeNumero(c.valor), QString::fromLatin1(c.texto)) << c.texto;
}

TEST(Numeros, NumeroInicialDelTexto) {
    const struct {
        const char* texto;
        double valor;
    } casos[] = {
        {"12abc", 12}, {"abc", 0}, {"", 0}, {"  -1.5e2x", -150}, {"3.", 3}, {".5", 0.5},
        {"1e", 1}, {"+7", 7}, {"-", 0}, {"1,234", 1}, {"14.5", 14.5}, {"1e999", 0},
    };
    for (const auto& c : casos) EXPECT_EQ(NumeroDeTexto(QString::fromLatin1(c.texto)), c.valor) << c.texto;
}

TEST(Numeros, IdaYVueltaDeLosImportesDelSistema) {
    for (double v : {3.3333333333, 1234567.1234567, 14.5, 0.01, 99999999.9999999})
        EXPECT_EQ(NumeroDeTexto(TextoDeNumero(v)), v);
}
