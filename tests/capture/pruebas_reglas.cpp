#include "ImprimeQt.h"
#include "ReglasCaptura.h"

#include <gtest/gtest.h>
#include <optional>

using namespace lorum;

TEST(Reglas, VerificacionDelRfc) {
    const struct {
        const char* rfc;
        const char* mensaje;  // "" accepted
    } casos[] = {
        {"ABCD000229XY1", ""},
        {"ABCD010229XY1", "El mes que ha escrito no tiene más de 28 días."},
        {" ABC010431XY1", "El mes que ha escrito no tiene más de 30 días."},
        {" ABC010430XY1", ""},
        {"ABCD011301XY1", "El valor del mes del RFC es incorrecto"},
        {"ABCD010000XY1", ""},
        {"ABCD010001XY1", "El mes que ha escrito no tiene más de 0 días."},
        {"ABCD010131XY1", ""},
        {"ABCD010132XY1", "El mes que ha escrito no tiene más de 31 días."},
        {"ABCD040229XY1", ""},
        {"ABCD010101XY", "El RFC no puede ser menor de 13 caracteres, para personas morales se deberá aumentar un espacio al "
                         "inicio del RFC"},
        {"RFC", "El RFC no puede ser menor de 13 caracteres, para personas morales se deberá aumentar un espacio al inicio del RFC"},
        {"     ", ""},
        {"", ""},
    };
    for (const auto& c : casos) {
        const auto r = reglas::VerificaRfc(QString::fromUtf8(c.rfc));
        EXPECT_EQ(r.aceptado, *c.mensaje == '\0') << c.rfc;
        EXPECT_EQ(r.mensaje, QString::fromUtf8(c.mensaje)) << c.rfc;
    }
    EXPECT_TRUE(reglas::EsPersonaMoral(" ABC010430XY1"));
    EXPECT_FALSE(reglas::EsPersonaMoral("ABCD010430XY1"));
}

// The published worked example and RFCs that organisations print on their invoices (legal persons,
// stored with their leading blank); each with one character changed; a digit "A"; RFCs the rule
// gives no verdict on.
TEST(Reglas, DigitoVerificadorDelRfc) {
    const struct {
        const char* rfc;
        const char* digito;  // "" no verdict
    } casos[] = {
        {"GODE561231GR8", "8"}, {" SAT970701NN3", "3"}, {" CFE370814QI0", "0"}, {" TME840315KT6", "6"}, {" WAL9709244W4", "4"},
        {"GODE561231GS8", "6"}, {" SAT970701NM3", "5"}, {" CFE370815QI0", "7"}, {" TME840315KT7", "6"}, {" WAL9709254W4", "0"},
        {"PEGJ800101B2A", "A"}, {" ÑAM850315C3A", "A"},
        {"XAXX010101000", "4"},  // a generic RFC of CATRFCES: the form does not warn for it
        {"SAT970701NN3", ""},    // a legal person without its blank
        {"GODE561231GR", ""}, {"GODE56123#GR8", ""}, {"", ""},
    };
    for (const auto& c : casos) {
        const QString rfc = QString::fromUtf8(c.rfc);
        const auto d = reglas::DigitoVerificadorRfc(rfc);
        EXPECT_EQ(d ? QString(*d) : QString(), QString::fromUtf8(c.digito)) << c.rfc;
        EXPECT_EQ(reglas::DigitoRfcNoCoincide(rfc), d && rfc.back() != *d) << c.rfc;
    }
}

TEST(Reglas, FiltroDelRfcPorPosicion) {
    const struct {
        char tecla;
        int largo;
        bool pasa;
    } casos[] = {
        {' ', 0, true},  {'A', 0, true},  {'1', 0, false}, {'&', 0, false}, {' ', 1, false}, {'B', 1, true},
        {'&', 2, true},  {'&', 1, false}, {'&', 3, false}, {'7', 4, true},  {'A', 4, false}, {'9', 9, true},
        {'Z', 10, true}, {'5', 11, true}, {'-', 11, false}, {'A', 12, true}, {'B', 12, false}, {'3', 12, true},
        {'*', 13, true}, {'\b', 5, true}, {'\r', 3, true},
    };
    for (const auto& c : casos)
        EXPECT_EQ(reglas::Rfc(c.tecla, c.largo) != 0, c.pasa) << "'" << c.tecla << "' en la posición " << c.largo + 1;
    EXPECT_EQ(reglas::Rfc(0x00D1, 0), 0) << "Ñ is not among the plain letters";
}

TEST(Reglas, FiltrosDeDigitos) {
    const struct {
        int (*filtro)(int);
        char tecla;
        bool pasa;
    } casos[] = {
        {reglas::SoloDigitos, '5', true},   {reglas::SoloDigitos, 'A', false}, {reglas::SoloDigitos, '\r', false},
        {reglas::SoloDigitos, '\b', true},  {reglas::SoloDigitos, '-', false}, {reglas::DigitosYPunto, '.', true},
        {reglas::DigitosYPunto, ',', false}, {reglas::DigitosYPunto, '\b', true}, {reglas::Fraccion, '0', true},
        {reglas::Fraccion, 'X', false},     {reglas::Fraccion, '\b', false},
    };
    for (const auto& c : casos) EXPECT_EQ(c.filtro(c.tecla) != 0, c.pasa) << int(c.tecla);
    EXPECT_EQ(reglas::Recif('A', 3), 0);
    EXPECT_EQ(reglas::Recif('4', 5), '4');
    EXPECT_EQ(reglas::Recif('A', 6), 'A') << "past the sixth position no filter applies";
    EXPECT_EQ(reglas::Recif('\r', 0), '\r');
}

TEST(Reglas, TramiteYDestino) {
    EXPECT_TRUE(reglas::TramiteNoDisponible(QStringLiteral("MODIFICACION")));
    EXPECT_TRUE(reglas::TramiteNoDisponible(QStringLiteral("Modificación de permiso")));
    EXPECT_FALSE(reglas::TramiteNoDisponible(QStringLiteral("PERMISO PREVIO")));
    EXPECT_FALSE(reglas::TramiteNoDisponible(QString()));
    const struct {
        const char* regimen;
        const char* destino;
        bool refusa;
    } pares[] = {
        {"IMPORTACIÓN DEFINITIVA", "EXPORTACIÓN AL EXTRANJERO", true},
        {"Importación temporal", "exportación", true},
        {"EXPORTACIÓN DEFINITIVA", "IMPORTACIÓN", false},
        {"IMPORTACIÓN DEFINITIVA", "INTERIOR DEL PAÍS", false},
        {"IMPORTACIÓN DEFINITIVA", "", false},
        {"", "EXPORTACIÓN AL EXTRANJERO", false},
    };
    for (const auto& p : pares)
        EXPECT_EQ(reglas::DestinoIncorrecto(QString::fromUtf8(p.regimen), QString::fromUtf8(p.destino)), p.refusa)
            << p.regimen << " / " << p.destino;
}

TEST(Reglas, CentrarEncabezado) {
    // Letters measure 100 each, blanks 50.
    auto mide = [](const QString& t) {
        int w = 0;
        for (QChar c : t) w += c == u' ' ? 50 : 100;
        return w;
    };
    const struct {
        const char* encabezado;
        int alineacion;
        int ancho;
        const char* esperado;
    } casos[] = {
        {"País", 0, 1200, "        País"},   // (1200-400)/2 = 400: eight blanks of 50
        {" País ", 0, 1200, "        País"},  // measured trimmed
        {"País", 2, 1200, "País"},            // centred: untouched
        {" País ", 2, 1200, " País "},
        {"IDPAIS", 0, 500, "IDPAIS"},         // narrower than its heading: only trimmed
        {"País", 1, 1200, "País       "},     // right: one blank less
        {"País", 3, 1200, "País"},
        {"RFC", 0, 310, " RFC"},              // (310-300)/2 = 5: at least one blank
    };
    for (const auto& c : casos)
        EXPECT_EQ(reglas::CentraEncabezado(QString::fromUtf8(c.encabezado), c.alineacion, c.ancho, mide).toStdString(),
                  c.esperado)
            << c.encabezado << " " << c.alineacion;
}

TEST(Reglas, CeldasDeLasPartidas) {
    const QString largo = QStringLiteral("La longitud de la fracción sólo puede ser de 8 digitos.  Rectifica por favor");
    const QString numeros = QStringLiteral("Debes ingresar números en este campo. Rectifica por favor");
    const struct {
        int columna;
        const char* valor;
        QString error;
    } casos[] = {
        {3, "1234567", largo}, {3, "123456789", largo}, {3, "", largo}, {3, "1234567A", numeros}, {3, "12345678", {}},
        {7, "abc", numeros},   {7, "", numeros},        {7, "4", {}},   {8, "2.5", {}},           {8, "x1", numeros},
        {4, "", {}},           {1, "abc", {}},          {9, "abc", {}},
    };
    for (const auto& k : casos)
        EXPECT_EQ(reglas::ErrorCeldaPartida(k.columna, QString::fromUtf8(k.valor)), k.error) << k.columna << " " << k.valor;
}

TEST(Reglas, PrecioUnitarioYTotales) {
    const struct {
        QVariant cantidad, total;
        std::optional<double> precio;
    } precios[] = {
        {4.0, 10.0, 2.5}, {3.0, 10.0, 3.3333333333}, {0.0, 10.0, std::nullopt}, {-2.0, 10.0, std::nullopt},
        {QVariant(), 10.0, std::nullopt}, {4.0, QVariant(), std::nullopt}, {4.0, QStringLiteral("abc"), std::nullopt},
        {QStringLiteral("4"), QStringLiteral("10"), 2.5},
    };
    for (const auto& k : precios)
        EXPECT_EQ(reglas::PrecioUnitario(k.cantidad, k.total), k.precio) << k.cantidad.toString().toStdString() << "/" << k.total.toString().toStdString();

    const reglas::Totales t = reglas::SumaPartidas({{2.0, 10.5}, {3.0, 4.0}, {QVariant(), 99.0}, {1e-1, QVariant()}});
    EXPECT_EQ(t.cantidad, QStringLiteral("5.1"));
    EXPECT_EQ(t.valor, QStringLiteral("14.5"));
    const reglas::Totales vacio = reglas::SumaPartidas({});
    EXPECT_EQ(vacio.cantidad, QStringLiteral("0"));
    EXPECT_EQ(vacio.valor, QStringLiteral("0"));
}

TEST(Reglas, FormateaNumeroYAyudasDeLaRejillaDePaises) {
    const struct {
        const char* texto;
        std::optional<const char*> resultado;
    } casos[] = {
        {"1234567.5", "1,234,567.5"}, {"123", "123"},     {"1,234", std::nullopt}, {"12345", "12,345"},
        {"1000000", "1,000,000"},     {".5", ".5"},       {"", ""},               {"1234.5,6", "1,234.5,6"},
    };
    for (const auto& k : casos) {
        const auto r = reglas::FormateaNumero(QString::fromLatin1(k.texto));
        ASSERT_EQ(r.has_value(), k.resultado.has_value()) << k.texto;
        if (r) {
            EXPECT_EQ(*r, QString::fromLatin1(*k.resultado)) << k.texto;
        }
    }
    const char* const ayudas[] = {"", "", "Clave del país", "Nombre del país "};
    const char* const tips[] = {"", "", "Clave del país", "Seleccione el país"};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(reglas::AyudaColumnaPais(c), QString::fromUtf8(ayudas[c]));
        EXPECT_EQ(reglas::TipColumnaPais(c), QString::fromUtf8(tips[c]));
    }
    EXPECT_EQ(reglas::TipColumnaPais(-1), QStringLiteral("Seleccione el país")) << "outside the columns: the last one";
}
