#include "Archivos.h"
#include "Auxiliares.h"
#include "EscrituraCortada.h"
#include "ErrorTabla.h"
#include "OrigenDatos.h"

#include <QDir>
#include <functional>

using namespace lorum;
using namespace lorum::prueba;

namespace {

const QString kFox = QStringLiteral("FoxPro 2.5;");

QStringList Nombres(Cursor& c) {
    QStringList n;
    for (c.MoveFirst(); !c.Eof(); c.MoveNext()) n << c.Valor(u"nombre").toString();
    return n;
}

class Motor : public DirectorioPrueba {};

}  // namespace

TEST_F(Motor, LosCursoresDeUnArchivoCompartenLaTablaYEscribenAlInstante) {
    const QString ruta = TablaSimple("t.dbf", {{"UNO", 1, 1}, {"DOS", 2, 2}});
    Cursor a = AbreCursor(Dir(), kFox, "T");
    Cursor b = AbreCursor(Dir(), QStringLiteral("dBASE III;"), "t.DBF");

    a.AddNew();
    a.SetValor(u"NOMBRE", QStringLiteral("TRES"));
    a.Update();
    EXPECT_EQ(b.RecordCount(), 3);
    EXPECT_EQ(Nombres(b), QStringList({"UNO", "DOS", "TRES"}));
    // After an append the cursor stays on the record it stood on.
    EXPECT_EQ(a.Valor(u"NOMBRE").toString(), "UNO");

    b.MoveFirst();
    b.Edit();
    b.SetValor(u"importe", 7.25);
    b.Update();
    EXPECT_EQ(a.Valor(u"IMPORTE").toDouble(), 7.25);

    // What is on disk right now: a fresh engine-independent reading of the raw file.
    const QByteArray disco = LeeBytes(ruta);
    EXPECT_EQ(quint8(disco[4]), 3);
    EXPECT_TRUE(disco.contains("TRES"));
    EXPECT_TRUE(disco.contains("    7.25"));
    EXPECT_EQ(disco.back(), char(0x1A));
}

TEST_F(Motor, AltaEdicionCancelacionYBorrado) {
    TablaSimple("t.dbf", {{"UNO", 1, 1}, {"DOS", 2, 2}, {"TRES", 3, 3}});
    Cursor c = AbreCursor(Dir(), kFox, "t");
    Cursor otro = c.Clone();

    c.Edit();
    c.SetValor(u"NOMBRE", QStringLiteral("CAMBIO"));
    EXPECT_EQ(c.Valor(u"NOMBRE").toString(), "CAMBIO");  // the edit buffer
    c.CancelUpdate();
    EXPECT_EQ(c.Valor(u"NOMBRE").toString(), "UNO");

    c.AddNew();
    c.SetValor(u"NOMBRE", QStringLiteral("CUATRO"));
    c.MoveNext();  // moving away drops the pending record, as the period's engine did
    EXPECT_EQ(c.RecordCount(), 3);

    c.MoveFirst();
    c.MoveNext();
    otro.MoveFirst();
    otro.MoveNext();
    c.Delete();
    // A deleted record is no current record, for this cursor and for another standing on it.
    EXPECT_THROW(c.Valor(u"NOMBRE"), ErrorTabla);
    for (Cursor* k : {&c, &otro}) {
        EXPECT_TRUE(k->Eof());
        EXPECT_FALSE(k->Bof());
        EXPECT_THROW(k->Edit(), ErrorTabla);
    }
    c.MoveNext();
    EXPECT_EQ(c.Valor(u"NOMBRE").toString(), "TRES");
    EXPECT_EQ(c.AbsolutePosition(), 1);
    EXPECT_EQ(Nombres(otro), QStringList({"UNO", "TRES"}));
    EXPECT_EQ(otro.RecordCount(), 2);

    // Deleted records stay in the file, flagged, and are never read again.
    Cursor nuevo = AbreCursor(Dir(), kFox, "T.dbf");
    EXPECT_EQ(Nombres(nuevo), QStringList({"UNO", "TRES"}));
    EXPECT_EQ(nuevo.tabla().NumFisicos(), 3);

    EXPECT_THROW(c.SetValor(u"NOMBRE", QStringLiteral("X")), ErrorTabla);  // not editing
    EXPECT_THROW(c.Update(), ErrorTabla);
}

TEST_F(Motor, NavegacionPosicionYMarcadores) {
    TablaSimple("t.dbf", {{"A", 1, 1}, {"B", 2, 2}, {"C", 3, 3}, {"D", 4, 4}});
    Cursor c = AbreCursor(Dir(), kFox, "t");
    EXPECT_FALSE(c.Bof());
    c.MovePrevious();
    EXPECT_TRUE(c.Bof());
    c.MoveLast();
    EXPECT_EQ(c.Valor(0).toString(), "D");
    const qint64 marca = c.Bookmark();
    c.MoveNext();
    EXPECT_TRUE(c.Eof());
    c.MoveNext();  // stays at the end
    EXPECT_TRUE(c.Eof());
    c.MovePrevious();
    EXPECT_EQ(c.Valor(0).toString(), "D");
    c.SetAbsolutePosition(1);
    EXPECT_EQ(c.Valor(0).toString(), "B");
    EXPECT_THROW(c.SetAbsolutePosition(4), ErrorTabla);

    Cursor clon = c.Clone();
    clon.MoveNext();
    EXPECT_EQ(clon.Valor(0).toString(), "C");
    EXPECT_EQ(c.Valor(0).toString(), "B");  // the clone moves alone

    c.SetBookmark(marca);
    EXPECT_EQ(c.Valor(0).toString(), "D");
    clon.SetBookmark(marca);
    clon.Delete();
    EXPECT_THROW(c.SetBookmark(marca), ErrorTabla);
    c.MoveFirst();
    c.Delete();
    c.MoveFirst();
    EXPECT_EQ(c.AbsolutePosition(), 0);
    EXPECT_EQ(c.Valor(0).toString(), "B");
    c.SetAbsolutePosition(1);
    EXPECT_EQ(c.Valor(0).toString(), "C");
}

TEST_F(Motor, FindFirstIgualYComoSinDistinguirMayusculas) {
    TablaSimple("um.dbf", {{"KILO", 0, 1}, {"GRAMO", 0, 2}, {"KILOWATT", 0, 10}, {"gramo neto", 0, 16}});
    Cursor c = AbreCursor(Dir(), kFox, "um");
    const struct {
        const char* criterio;
        const char* esperado;  // nullptr: no match
    } casos[] = {
        {"nombre Like 'gra*'", "GRAMO"}, {"NOMBRE like 'GRAMO N*'", "gramo neto"}, {"nombre Like 'kilo?att'", "KILOWATT"},
        {"nombre = 'kilo'", "KILO"}, {"clave = 16", "gramo neto"}, {"clave = 16.0", "gramo neto"},
        {"nombre Like 'x*'", nullptr}, {"clave = 99", nullptr}, {"clave = abc", nullptr},
    };
    for (const auto& caso : casos) {
        c.MoveFirst();
        c.FindFirst(QString::fromUtf8(caso.criterio));
        EXPECT_EQ(c.NoMatch(), caso.esperado == nullptr) << caso.criterio;
        if (caso.esperado) EXPECT_EQ(c.Valor(u"NOMBRE").toString(), QString::fromUtf8(caso.esperado)) << caso.criterio;
        else EXPECT_EQ(c.Valor(u"NOMBRE").toString(), "KILO") << "the position stays: " << caso.criterio;
    }
    EXPECT_THROW(c.FindFirst("nombre ~ 'x'"), ErrorTabla);
    EXPECT_THROW(c.FindFirst("nada = 1"), ErrorTabla);
}

TEST_F(Motor, ConsultasSelectYUnValorConComillasEsDato) {
    TablaSimple("catrfces.dbf", {{"XAXX01", 1, 1}, {"O'BRIEN", 2, 2}, {"X'OR'1'='1", 3, 3}});
    auto cuenta = [&](const QString& fuente) { return AbreCursor(Dir(), kFox, fuente).RecordCount(); };
    EXPECT_EQ(cuenta("Select * from CATRFCES"), 3);
    EXPECT_EQ(cuenta("Select * from CATRFCES where nombre = 'xaxx01'"), 1);
    EXPECT_EQ(cuenta("Select * from CATRFCES where nombre = 'O'BRIEN'"), 1);
    EXPECT_EQ(cuenta("Select * from CATRFCES where nombre = 'X'OR'1'='1'"), 1);
    EXPECT_EQ(cuenta("Select * from CATRFCES where nombre = 'NADIE' OR 'A'='A'"), 0);
    EXPECT_EQ(cuenta("Select * from catrfces where clave = 2"), 1);
    EXPECT_EQ(cuenta("Select * from catrfces where clave = 2 or 1=1"), 0);
    EXPECT_EQ(cuenta("  select   *   FROM  [catrfces]  WHERE  clave = 2 ; "), 1);
    EXPECT_EQ(cuenta("Select * from catrfces;"), 3);  // the ';' ends the query, it is not part of the name
    for (const char* mala :
         {"Select * from", "Select  from catrfces", "Select * from catrfces where",
          "Select * from catrfces clave = 2", "Select * fromcatrfces", "Select *,,Nombre from catrfces"})
        EXPECT_THROW(AbreCursor(Dir(), kFox, mala), ErrorTabla) << mala;

    Cursor una = AbreCursor(Dir(), kFox, "Select Nombre from catrfces where clave = 2");
    EXPECT_EQ(una.NumCampos(), 1);
    EXPECT_EQ(una.Valor(0).toString(), "O'BRIEN");
    EXPECT_EQ(una.IndiceCampo(u"clave"), -1);
    EXPECT_THROW(AbreCursor(Dir(), kFox, "Select nada from catrfces"), ErrorTabla);
    EXPECT_THROW(AbreCursor(Dir(), kFox, "Select * from catrfces where nombre = 'abierta"), ErrorTabla);
    EXPECT_THROW(AbreCursor(Dir(), QStringLiteral("Paradox;"), "catrfces"), ErrorTabla);
    EXPECT_THROW(AbreCursor(Dir(), kFox, "noexiste"), ErrorTabla);
}

TEST_F(Motor, NombresSinDistinguirMayusculasYArchivosAmbiguos) {
    TablaSimple("LORUMPAI.dbf", {{"MX", 1, 484}});
    EXPECT_EQ(AbreCursor(Dir(), kFox, "lorumpai").RecordCount(), 1);
    EXPECT_EQ(AbreCursor(Dir(), kFox, "lorumpai.DBF").RecordCount(), 1);
    EXPECT_TRUE(ExisteArchivo(Ruta("lorumpai.dbf")));

    // Both spellings name one shared table.
    Cursor a = AbreCursor(Dir(), kFox, "lorumpai");
    Cursor b = AbreCursor(Dir(), kFox, "LORUMPAI");
    a.Edit();
    a.SetValor(u"nombre", QStringLiteral("US"));
    a.Update();
    EXPECT_EQ(b.Valor(u"NOMBRE").toString(), "US");

    if (!kPosix) return;  // on Windows both spellings are one file
    QFile::copy(Ruta("LORUMPAI.dbf"), Ruta("lorumpai.dbf"));
    try {
        AbreCursor(Dir(), kFox, "lorumpai");
        FAIL() << "two files differing only in case must be an error";
    } catch (const ErrorTabla& e) {
        EXPECT_TRUE(e.mensaje().contains("LORUMPAI.dbf")) << e.what();
        EXPECT_TRUE(e.mensaje().contains("lorumpai.dbf")) << e.what();
    }
}

TEST_F(Motor, CopiaCompletaAtomicaYRelecturaDeLosCursores) {
    const QString plantilla = TablaSimple("Omercanci.dbf", {});
    const QString trabajo = TablaSimple("mercanci.dbf", {{"A", 1, 1}, {"B", 2, 2}});
    Cursor abierto = AbreCursor(Dir(), kFox, "MERCANCI");
    abierto.MoveLast();

    const ResultadoCopia r = CopiaTabla(Ruta("OMERCANCI.DBF"), Ruta("Mercanci.dbf"));
    ASSERT_TRUE(r.ok) << r.mensaje.toStdString();
    EXPECT_EQ(LeeBytes(trabajo), LeeBytes(plantilla));
    EXPECT_TRUE(abierto.Eof());  // the open cursor sees the template's content
    EXPECT_EQ(abierto.RecordCount(), 0);
    // No temporary file is left behind; the list of the program's temporaries names only what is gone.
    EXPECT_EQ(QDir(Dir()).entryList(QDir::Files | QDir::Hidden), QStringList({"lorum.temporales", "mercanci.dbf", "Omercanci.dbf"}));
    for (const QString& t : TemporalesAnotados(Dir())) EXPECT_FALSE(QFile::exists(Ruta(t))) << t.toStdString();
}

TEST_F(Motor, CopiaFallidaDejaElDestinoIntacto) {
    const QString trabajo = TablaSimple("lorums.dbf", {{"A", 1, 1}});
    const QByteArray antes = LeeBytes(trabajo);

    EXPECT_FALSE(CopiaTabla(Ruta("Nada.dbf"), trabajo).ok);
    QDir(Dir()).mkdir("carpeta.dbf");
    EXPECT_FALSE(CopiaTabla(Ruta("carpeta.dbf"), trabajo).ok);

    // A write that fails half-way, after 200 bytes.
    QByteArray grande(5000, 'x');
    EscribeBytes(Ruta("grande.dbf"), grande);
    ResultadoCopia r;
    {
        const EscrituraCortada llena(200, QStringLiteral("lorums.dbf"));
        r = CopiaTabla(Ruta("grande.dbf"), trabajo);
    }
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.mensaje.contains("lorums.dbf")) << r.mensaje.toStdString();
    EXPECT_EQ(LeeBytes(trabajo), antes);
}

TEST_F(Motor, PaginasDeCodigos) {
    const QString ruta = Ruta("t.dbf");
    TablaDbf::Crea(ruta, {CampoC("TEXTO", 40)});
    Cursor c(TablaDbf::Abre(ruta));
    const QString espanol = QStringLiteral("ÑANDÚ PEÑA ÁÉÍÓÚ ü ¿¡ º");
    c.AddNew();
    c.SetValor(0, espanol);
    c.Update();
    EXPECT_EQ(quint8(LeeBytes(ruta)[29]), 0x02);
    EXPECT_TRUE(LeeBytes(ruta).contains("\xA5""AND\xE9"));  // Ñ and Ú in code page 850

    const QByteArray antes = LeeBytes(ruta);
    c.AddNew();
    EXPECT_THROW(c.SetValor(0, QStringLiteral("PRECIO 10 €")), ErrorTabla);
    EXPECT_THROW(c.SetValor(0, QStringLiteral("日本")), ErrorTabla);
    c.CancelUpdate();
    EXPECT_EQ(LeeBytes(ruta), antes);

    // A table marked as code page 1252 is written, and read, in its own code page.
    TablaDbf::Crea(Ruta("w.dbf"), {CampoC("TEXTO", 40)}, PaginaCodigos::Cp1252);
    Cursor w = AbreCursor(Dir(), kFox, "w");
    w.AddNew();
    w.SetValor(0, espanol + QStringLiteral(" 10 €"));
    w.Update();
    EXPECT_TRUE(LeeBytes(Ruta("w.dbf")).contains(espanol.toLatin1() + " 10 \x80"));
    w.MoveFirst();
    EXPECT_EQ(w.Valor(0).toString(), espanol + QStringLiteral(" 10 €"));
}

TEST_F(Motor, ValorQueNoCabeSeRechazaConSuMotivoSinTocarElArchivo) {
    const QString ruta = TablaSimple("t.dbf", {{"A", 1, 1}});
    const QByteArray antes = LeeBytes(ruta);
    Cursor c = AbreCursor(Dir(), kFox, "t");
    c.Edit();
    const struct {
        const char16_t* campo;
        QVariant valor;
        const char* motivo;
    } casos[] = {
        {u"IMPORTE", 123456.0, "el número más grande que admite es 99999.99"},  // N 8.2
        {u"IMPORTE", 1e9, "el número más grande que admite es 99999.99"},
        {u"CLAVE", 1000, "el número más grande que admite es 999"},
        {u"CLAVE", QStringLiteral("12abc"), "«12abc» no es un número"},
        {u"NOMBRE", QStringLiteral("ONCE LETRAS"), "admite 10 caracteres"},
        {u"NOMBRE", QStringLiteral("10 €"), "no admite el carácter «€»"},
        {u"NOMBRE", QStringLiteral("日本"), "no admite el carácter «日»"},
    };
    for (const auto& k : casos) {
        try {
            c.SetValor(QStringView(k.campo), k.valor);
            ADD_FAILURE() << "aceptado: " << k.motivo;
        } catch (const ErrorTabla& e) {
            EXPECT_EQ(e.motivo(), QString::fromUtf8(k.motivo));
            EXPECT_TRUE(e.mensaje().contains(QStringLiteral("t.dbf"))) << e.mensaje().toStdString();
        }
    }
    try {
        c.SetValor(u"NO_HAY", 1);
        ADD_FAILURE();
    } catch (const ErrorTabla& e) {
        EXPECT_TRUE(e.motivo().isEmpty()) << "an unknown field is no value fault";
    }
    c.SetValor(u"IMPORTE", -9999.99);
    c.SetValor(u"CLAVE", QVariant());
    c.Update();
    EXPECT_EQ(c.Valor(u"IMPORTE").toDouble(), -9999.99);
    EXPECT_FALSE(c.Valor(u"CLAVE").isValid());  // blank reads as absent
    EXPECT_NE(LeeBytes(ruta), antes);
    c.Asegura();
}

TEST_F(Motor, UnaSolaManeraDeEstarAlFinal) {
    // Each way of reaching the end; an append by any cursor must then leave the cursor at the end.
    const QString plantilla = TablaSimple("vacia.dbf", {});
    const struct {
        const char* como;
        std::function<void(Cursor&)> llega;
        int registros;
    } casos[] = {
        {"tabla vacía", [](Cursor&) {}, 0},
        {"MoveLast en vacía", [](Cursor& c) { c.MoveLast(); }, 0},
        {"MoveNext tras el último", [](Cursor& c) { c.MoveLast(); c.MoveNext(); }, 2},
        {"releída tras una copia", [&](Cursor&) { ASSERT_TRUE(CopiaTabla(plantilla, Ruta("t.dbf")).ok); }, 2},
    };
    for (const auto& k : casos) {
        std::vector<std::tuple<QString, double, int>> filas;
        for (int i = 0; i < k.registros; ++i) filas.push_back({QStringLiteral("R%1").arg(i), i, i});
        TablaSimple("t.dbf", filas);
        Cursor c = AbreCursor(Dir(), kFox, "t");
        Cursor otro = c.Clone();
        k.llega(c);
        ASSERT_TRUE(c.Eof()) << k.como;
        if (k.registros == 0) {
            EXPECT_TRUE(c.Bof()) << k.como << ": an empty set is at both ends";
            EXPECT_EQ(c.AbsolutePosition(), -1);
            EXPECT_THROW(c.Delete(), ErrorTabla);
        }
        c.AddNew();
        c.SetValor(0, QStringLiteral("NUEVO"));
        c.Update();
        EXPECT_TRUE(c.Eof()) << k.como << ": an append leaves the current record as it was";
        otro.AddNew();
        otro.SetValor(0, QStringLiteral("OTRO"));
        otro.Update();
        EXPECT_TRUE(c.Eof()) << k.como;
        EXPECT_THROW(c.Edit(), ErrorTabla) << k.como;
        c.MovePrevious();
        EXPECT_EQ(c.Valor(0).toString(), QStringLiteral("OTRO")) << k.como;
    }
}

TEST_F(Motor, OrigenDeDatosSeDesligaYSeReabre) {
    TablaSimple("empresas.dbf", {{"A", 1, 1}});
    OrigenDatos dts;
    EXPECT_THROW(dts.Registros(), ErrorTabla);
    dts.Conecta(Dir(), kFox, "empresas.dbf");
    dts.Refresca();
    EXPECT_EQ(dts.Registros().RecordCount(), 1);
    dts.Desliga();
    EXPECT_FALSE(dts.abierto());

    // Replaced behind the engine's back while detached: opening again reads the new file.
    TablaSimple("empresas.dbf", {{"X", 1, 1}, {"Y", 2, 2}});
    dts.Conecta(Dir(), kFox, "EMPRESAS");
    dts.Refresca();
    EXPECT_EQ(dts.Registros().RecordCount(), 2);
}
