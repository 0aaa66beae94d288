// The printed request text, compared whole with the form as it must read.
#include "Archivos.h"
#include "Auxiliares.h"
#include "FormaImpresa.h"
#include "GeneradorDatos.h"
#include "OrigenDatos.h"

using namespace lorum;
using namespace lorum::prueba;

namespace {

const TextosDeForma kTextos = {QStringLiteral("PERMISO PREVIO DE IMPORTACIÓN"), QStringLiteral("IMPORTACIÓN DEFINITIVA"),
                               QStringLiteral("COMERCIALIZACIÓN"), QStringLiteral("JALISCO"), QStringLiteral("KILO"),
                               QStringLiteral("01011001")};

class Forma : public DirectorioPrueba {
protected:
    void SetUp() override {
        DirectorioPrueba::SetUp();
        PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), Dir());
    }
    // Appends a record to a table of the request: field positions and values.
    void Agrega(const char* tabla, const std::vector<std::pair<int, QVariant>>& campos) {
        Cursor c = AbreCursor(Dir(), QStringLiteral("FoxPro 2.5;"), QString::fromLatin1(tabla));
        c.AddNew();
        for (const auto& [i, v] : campos) c.SetValor(i, v);
        c.Update();
    }
    void Solicitud(const QVariant& cat, const QVariant& foto, const QVariant& plano, const QVariant& otro, const QVariant& especifica,
                   const QVariant& usado = QStringLiteral("N"), const QVariant& vdolares = 1500.5) {
        Agrega("lorums", {{4, usado}, {10, QStringLiteral("GANADERÍA")}, {11, QStringLiteral("REPRODUCCIÓN")},
                          {13, QStringLiteral("MEJORA GENÉTICA")}, {14, cat}, {15, foto}, {16, plano}, {17, otro},
                          {18, especifica}, {22, 12.5}, {23, vdolares}});
    }
    QString Texto(const QDate& dia = QDate(2026, 12, 5)) {
        const FormaImpresa f = FormateaInf(Dir(), kTextos, dia);
        EXPECT_TRUE(f.completa);
        return f.texto;
    }
};

}  // namespace

TEST_F(Forma, UnaSolicitudCompletaConDosPartidasYTresPaises) {
    Agrega("empresas", {{0, "PEGJ800101AB1"}, {1, "PEÑA"}, {2, "GÓMEZ"}, {3, "JOSÉ"}, {4, "REFORMA 100"}, {5, "06600"},
                        {8, "JUÁREZ"}, {9, "CUAUHTÉMOC"}, {10, "5512345678"}, {11, "5512.3"}, {14, "ANA"}, {15, "LÓPEZ"},
                        {16, "RUIZ"}, {17, "5587654321"}, {18, "DIRECTORA"}, {29, "CABALLOS DE RAZA"}});
    Solicitud("S", "N", "N", "S", QStringLiteral("FACTURAS"), QStringLiteral("S"));
    Agrega("mercanci", {{1, 1}, {3, "01011001"}, {4, "CABALLOS"}, {5, 1}, {6, "KILOGRAMO"}, {7, 10}, {8, 2.5}, {9, 25}});
    Agrega("mercanci", {{1, 2}, {3, "01011002"}, {4, "YEGUAS"}, {5, 6}, {6, "PIEZA"}, {7, 3}, {8, 3.3333333333}, {9, 10}});
    for (const char* clave : {"DE", "US", "CA"}) Agrega("lorumpai", {{2, clave}});

    const QString esperado = QStringLiteral(
        "SECRETARIA DE TALVEROS\rPERMISOS DE IMPORTACION Y EXPORTACION\n\rDATOS GENERALES\n"
        "Tramite:   PERMISO PREVIO DE IMPORTACIÓN\n\n"
        "Regimen Aduanal:   IMPORTACIÓN DEFINITIVA\n\n"
        "Destino de las mercancias en el pais:   COMERCIALIZACIÓN\n\n"
        "RFC: PEGJ800101AB1\n\n"
        "Nombre o Razón Social solicitante: PEÑA GÓMEZ JOSÉ\n\n\n"
        "DOMICILIO DEL NOMBRE O RAZON SOCIAL SOLICITANTE:   \n\n"
        "CALLE Y NUMERO:     REFORMA 100\n"
        "COLONIA:    JUÁREZ\n"
        "C.P.   06600\n"
        "DEL/MUN  CUAUHTÉMOC\n"
        "ESTADO:   JALISCO\n"
        "TELEFONO:   5512345678\n"
        "FAX   5512.3\n\n"
        "\n\v"
        "Descripción de las mercancias:   \n"
        "CABALLOS DE RAZA\n\v"
        "\nValor en Dolares:   1500.5      Unidad de Medida: KILO      Cantidad:   12.5\n\v"
        "Fracción Arancelaria: 01011001\n"
        "Usado: SI\n"
        "\nPARTIDAS DE MERCANCIAS A IMPORTAR O EXPORTAR\n"
        "Partida    Cantidad        Unidad de      Fracción Arancelaria  \n"
        "                           Medida                               \n"
        "1          10              KILOGRAMO       01011001\n"
        "Descripcion\nCABALLOS\n"
        "Precio       Total\nUnitario\n"
        "2.5          25\n\n"
        "Partida    Cantidad        Unidad de      Fracción Arancelaria  \n"
        "                           Medida                               \n"
        "2          3               PIEZA           01011002\n"
        "Descripcion\nYEGUAS\n"
        "Precio       Total\nUnitario\n"
        "3.3333333333 10\n\n"
        "\nPais(es:)\nDE\nUS\nCA\n"
        "\nACTIVIDAD O GIRO PRINCIPAL DEL SOLICITANTE: \nGANADERÍA\n"
        "USO ESPECIFICO DE LA MERCANCIA: \nREPRODUCCIÓN\n"
        "Justificación de la importación o exportación y el beneficio que se obtiene:   \nMEJORA GENÉTICA\n\v"
        "ANEXOS PARA IDENTIFICAR LA MERCANCIA: \n"
        "Catalogo: SI \nFotografia: NO\nPlano: NO\nOtro: FACTURAS\n"
        "\nFECHA 5 DE diciembre DE 2026.\n\n"
        "DATOS DEL REPRESENTANTE LEGAL\n\n"
        "NOMBRE:    ANA LÓPEZ RUIZ.\n"
        "Cargo:     DIRECTORA\n"
        "Telefono:  5587654321\n\n\n"
        "FIRMA________________________________\n");
    EXPECT_EQ(Texto().toStdString(), esperado.toStdString());
}

TEST_F(Forma, CasosDelFormulario) {
    // No applicant, no items, no countries: only the parts that are always written.
    Solicitud("N", "N", "N", "N", QVariant(), QStringLiteral("N"), QVariant());
    const QString sinNada = Texto(QDate(2027, 1, 9));
    EXPECT_TRUE(sinNada.startsWith(QStringLiteral("Descripción de las mercancias:   \nFracción Arancelaria: 01011001\nUsado: NO\n\n")))
        << "a null vdolares drops the whole value line; Usado N leaves an empty line";
    EXPECT_FALSE(sinNada.contains(QStringLiteral("PARTIDAS")));
    EXPECT_FALSE(sinNada.contains(QStringLiteral("Pais(es:)")));
    EXPECT_TRUE(sinNada.contains(QStringLiteral("ANEXOS PARA IDENTIFICAR LA MERCANCIA: \nNINGUNO\n\nFECHA 9 DE enero DE 2027.\n\n")));
    EXPECT_FALSE(sinNada.contains(QStringLiteral("REPRESENTANTE")));

    // Flags S,N,N,N with no "especifica": no Otro line; a null flag never prints NINGUNO.
    ASSERT_TRUE(CopiaTabla(Ruta("Olorums.dbf"), Ruta("lorums.dbf")).ok);
    Solicitud("S", "N", "N", "N", QVariant());
    EXPECT_TRUE(Texto().contains(QStringLiteral("MERCANCIA: \nCatalogo: SI \nFotografia: NO\nPlano: NO\n\nFECHA")));
    ASSERT_TRUE(CopiaTabla(Ruta("Olorums.dbf"), Ruta("lorums.dbf")).ok);
    Solicitud("N", "N", "N", QVariant(), QVariant());
    EXPECT_TRUE(Texto().contains(QStringLiteral("MERCANCIA: \nCatalogo: NO \nFotografia: NO\nPlano: NO\n\nFECHA")));

    // An item without its four identifying fields is left out with a notice; one with a value
    // absent or wider than its column makes the form incomplete.
    Agrega("mercanci", {{3, "01011001"}});
    FormaImpresa f = FormateaInf(Dir(), kTextos, QDate(2026, 12, 5));
    EXPECT_TRUE(f.completa);
    EXPECT_EQ(f.avisos, QStringList{QStringLiteral("La informacion en Mercancias no esta completa")});
    EXPECT_FALSE(f.texto.contains(QStringLiteral("Partida    Cantidad")));
    Agrega("mercanci", {{1, 1}, {4, "SIN CANTIDAD"}, {6, "KILO"}, {8, 1}});
    EXPECT_FALSE(FormateaInf(Dir(), kTextos, QDate(2026, 12, 5)).completa);
}
