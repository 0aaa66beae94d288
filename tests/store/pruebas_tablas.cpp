#include "Auxiliares.h"
#include "GeneradorDatos.h"
#include "OrigenDatos.h"
#include "TablasSolicitud.h"

#include <QDir>

using namespace lorum;
using namespace lorum::prueba;

namespace {

const QString kFox = QStringLiteral("FoxPro 2.5;");

class Tablas : public DirectorioPrueba {
protected:
    void SetUp() override {
        DirectorioPrueba::SetUp();
        PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), Dir());
    }
};

// Every field of a fresh table, by position: "pos NAME".
QStringList Posiciones(const QString& dir, const QString& tabla) {
    Cursor c = AbreCursor(dir, kFox, tabla);
    QStringList p;
    for (int i = 0; i < c.NumCampos(); ++i) p << QString::number(i) + " " + c.CampoEn(i).nombre;
    return p;
}

}  // namespace

TEST_F(Tablas, LosCamposQueSeLeenPorPosicionEstanEnSuLugar) {
    const QStringList empresas = Posiciones(Dir(), "empresas");
    for (const char* esperado : {"0 RFC", "1 RSAPELPAT", "2 APELMAT", "3 NOMBRE", "4 DIRECCION1", "5 CODIGO_POS",
                                 "8 COLONIA", "9 DELMUN", "10 TELEFONO", "11 FAX", "14 REP_LEGAL", "15 REP_LEGALP",
                                 "16 REP_LEGALM", "17 TELREP", "18 CARGO", "29 DMERCANCI"})
        EXPECT_TRUE(empresas.contains(esperado)) << esperado;
    EXPECT_EQ(empresas.size(), 30);

    const QStringList lorums = Posiciones(Dir(), "LORUMS");
    for (const char* esperado : {"4 USADO", "10 TEXTOGIRO", "11 USOMERC", "13 JUST", "14 CAT", "15 FOTO", "16 PLANO",
                                 "17 OTRO", "18 ESPECIFICA", "22 CANTIDAD", "23 VDOLARES"})
        EXPECT_TRUE(lorums.contains(esperado)) << esperado;
    for (const char* campo : {"RFC", "IDTRA", "IDTIPIMPEX", "IDDESTINOP", "NINGUNO", "RECIF", "FRACCION", "IDUM"})
        EXPECT_GE(AbreCursor(Dir(), kFox, "lorums").IndiceCampo(QString::fromLatin1(campo)), 0) << campo;

    EXPECT_EQ(Posiciones(Dir(), "mercanci"),
              QStringList({"0 IDMERC", "1 PARTIDA", "2 RFC", "3 FRACCION", "4 DESCRIP", "5 IDUM", "6 UNIDADMED",
                           "7 CANTIDAD", "8 PRECIO", "9 TOTALPART"}));
    EXPECT_EQ(Posiciones(Dir(), "LORUMPAI"), QStringList({"0 RFC", "1 IDPAIS", "2 CVESHCP", "3 NOMCOMPAI"}));
    EXPECT_EQ(Posiciones(Dir(), "tlorumpai"), Posiciones(Dir(), "lorumpai"));
}

TEST_F(Tablas, PlantillasCatalogosYTodosLosPaises) {
    for (const auto& t : tablas::TablasDeSolicitud()) {
        EXPECT_EQ(LeeBytes(QDir(Dir()).filePath(t.archivo)), LeeBytes(QDir(Dir()).filePath(t.plantilla)))
            << t.archivo.toStdString();
    }
    Cursor paises = AbreCursor(Dir(), kFox, "CATPAIS");
    Cursor todos = AbreCursor(Dir(), kFox, "TLORUMPAI");
    EXPECT_EQ(todos.RecordCount(), paises.RecordCount());
    EXPECT_GT(todos.RecordCount(), 200);
    todos.FindFirst("CVESHCP = 'MX'");
    ASSERT_FALSE(todos.NoMatch());
    EXPECT_EQ(todos.Valor(u"IDPAIS").toInt(), 484);
    EXPECT_EQ(todos.Valor(u"NOMCOMPAI").toString(), QStringLiteral("MÉXICO"));
    EXPECT_FALSE(todos.Valor(u"RFC").isValid());

    EXPECT_EQ(AbreCursor(Dir(), kFox, "Select * from CATRFCES where rfcesp = 'XAXX010101000'").RecordCount(), 1);
    Cursor um = AbreCursor(Dir(), QStringLiteral("dBASE III;"), "Select U_medida from catum where cve_med = 1");
    EXPECT_EQ(um.Valor(0).toString(), "KILO");
    EXPECT_EQ(quint8(LeeBytes(QDir(Dir()).filePath("CATUM.dbf"))[29]), 0) << "CATUM is a plain dBase III table";
    EXPECT_EQ(AbreCursor(Dir(), kFox, "ESTADOS").RecordCount(), 32);
    EXPECT_EQ(AbreCursor(Dir(), kFox, "Select * from catfrac").RecordCount(), 13);
}

TEST_F(Tablas, LosImportesVuelvenComoSeEscribieron) {
    Cursor m = AbreCursor(Dir(), QStringLiteral("FoxPro 2.6;"), "MERCANCI");
    const double importes[] = {3.3333333333, 1234567.1234567, 14.5, 0.0000000001, 99999999.99, -9999999.5};
    for (double v : importes) {
        m.AddNew();
        m.SetValor(u"CANTIDAD", v);
        m.SetValor(u"PRECIO", v);
        m.SetValor(u"TOTALPART", v);
        m.Update();
    }
    Cursor r = AbreCursor(Dir(), kFox, "mercanci");
    for (double v : importes) {
        for (const char16_t* campo : {u"CANTIDAD", u"PRECIO", u"TOTALPART"})
            EXPECT_EQ(r.Valor(QStringView(campo)).toDouble(), v);
        r.MoveNext();
    }
    Cursor s = AbreCursor(Dir(), kFox, "lorums");
    s.AddNew();
    s.SetValor(u"cantidad", 1234567.1234567);
    s.SetValor(u"vdolares", 3.3333333333);
    s.Update();
    s.MoveFirst();
    EXPECT_EQ(s.Valor(22).toDouble(), 1234567.1234567);
    EXPECT_EQ(s.Valor(23).toDouble(), 3.3333333333);
}

TEST_F(Tablas, RehacerNoTocaLaSolicitudDelUsuario) {
    Cursor e = AbreCursor(Dir(), kFox, "empresas");
    e.AddNew();
    e.SetValor(u"RFC", QStringLiteral(" ABC010101AAA"));
    e.SetValor(u"RSAPELPAT", QStringLiteral("PEÑA Y ASOCIADOS"));
    e.Update();
    const QByteArray antes = LeeBytes(QDir(Dir()).filePath("empresas.dbf"));
    PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), Dir());
    EXPECT_EQ(LeeBytes(QDir(Dir()).filePath("empresas.dbf")), antes);
    e.MoveFirst();
    EXPECT_EQ(e.Valor(u"RFC").toString(), " ABC010101AAA");  // the leading blank of a company's RFC stays
}
