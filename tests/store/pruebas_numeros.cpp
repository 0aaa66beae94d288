#include "Numeros.h"
#include <gtest/gtest.h>
TEST(Numeros, x) { EXPECT_EQ(lorum::TextoDeNumero(2), "2"); }
