// Delivery to the drive and recovery from it, on real tables in temporary folders.
#include "Auxiliares.h"
#include "EscrituraCortada.h"
#include "Cursor.h"
#include "ErrorTabla.h"
#include "GeneradorDatos.h"
#include "Importacion.h"
#include "Intercambio.h"
#include "Numeros.h"
#include "OrigenDatos.h"
#include "TablasSolicitud.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>

using namespace lorum;
using namespace lorum::prueba;

namespace {

class Intercambio : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(datos.isValid() && unidad.isValid());
        PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), datos.path());
        Cursor m = AbreCursor(datos.path(), QStringLiteral("FoxPro 2.6;"), QStringLiteral("mercanci"));
        m.AddNew();
        m.SetValor(u"DESCRIP", QStringLiteral("CABALLOS DE RAZA"));
        m.Update();
    }
    QByteArray EnDatos(const QString& t) { return LeeBytes(ResuelveArchivo(datos.path(), t)); }
    QByteArray EnUnidad(const QString& t) { return LeeBytes(QDir(unidad.path()).filePath(t)); }

    QTemporaryDir datos, unidad;
};

}  // namespace

TEST_F(Intercambio, EntregaLasCuatroTablasIgualesByteAByte) {
    EscribeBytes(QDir(unidad.path()).filePath("MERCANCI.DBF"), "viejo");  // replaced, whatever its case
    EscribeBytes(QDir(unidad.path()).filePath("otro.txt"), "se queda");
    const ResultadoIntercambio r = EntregaTablas(datos.path(), unidad.path(), TablasDeEntrega());
    ASSERT_TRUE(r.ok) << r.mensaje.toStdString();
    for (const QString& t : TablasDeEntrega()) EXPECT_EQ(LeeBytes(ResuelveArchivo(unidad.path(), t)), EnDatos(t)) << t.toStdString();
    EXPECT_EQ(EnUnidad("otro.txt"), QByteArray("se queda"));
    EXPECT_EQ(QDir(unidad.path()).entryList(QDir::Files | QDir::Hidden).size(), 5) << "no temporary file left on the medium";
}

TEST_F(Intercambio, UnaEntregaNuncaEscribeFueraDelMedio) {
    QTemporaryDir fuera;
    const QString ajeno = fuera.filePath("ajeno.dbf");
    const QString enMedio = QDir(unidad.path()).filePath(tablas::kMercanci);
    const struct {
        const char* caso;
        std::function<void()> prepara;
        bool entrega;
    } casos[] = {
        {"un enlace a un archivo de otra carpeta", [&] { EscribeBytes(ajeno, "ajeno"); QFile::link(ajeno, enMedio); }, true},
        {"un enlace roto", [&] { QFile::remove(ajeno); QFile::link(ajeno, enMedio); }, true},
        {"una carpeta con el nombre de la tabla", [&] { QDir().mkpath(enMedio); }, false},
    };
    for (const auto& caso : casos) {
        QFile::remove(enMedio);
        QDir(enMedio).removeRecursively();
        caso.prepara();
        const QByteArray ajenoAntes = LeeBytes(ajeno);
        const ResultadoIntercambio r = EntregaTablas(datos.path(), unidad.path(), TablasDeEntrega());
        EXPECT_EQ(r.ok, caso.entrega) << caso.caso << ": " << r.mensaje.toStdString();
        EXPECT_EQ(LeeBytes(ajeno), ajenoAntes) << caso.caso << ": the link's target is never written";
        EXPECT_EQ(QFileInfo::exists(ajeno), !ajenoAntes.isEmpty()) << caso.caso << ": nothing created outside the medium";
        if (caso.entrega) {
            EXPECT_FALSE(QFileInfo(enMedio).isSymLink()) << caso.caso;
            EXPECT_EQ(EnUnidad(tablas::kMercanci), EnDatos(tablas::kMercanci)) << caso.caso << ": the medium holds the table";
        } else {
            EXPECT_TRUE(r.mensaje.contains(QStringLiteral("carpeta"))) << r.mensaje.toStdString();
            EXPECT_TRUE(QFileInfo(enMedio).isDir());
        }
    }
}

TEST_F(Intercambio, UnaEntregaFallidaLoDiceYNoDejaMediasCopias) {
    // No drive.
    ResultadoIntercambio r = EntregaTablas(datos.path(), unidad.filePath("no-hay"), TablasDeEntrega());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.mensaje.contains(QStringLiteral("unidad A:"))) << r.mensaje.toStdString();

    // A medium that fills up half-way through the second table.
    const qint64 primera = EnDatos(tablas::kMercanci).size();
    ASSERT_GT(EnDatos(tablas::kEmpresas).size(), primera + 10);
    {
        const EscrituraCortada llena(primera + 10, tablas::kEmpresas);
        r = EntregaTablas(datos.path(), unidad.path(), TablasDeEntrega());
    }
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.mensaje.contains(QStringLiteral("empresas.dbf"))) << r.mensaje.toStdString();
    EXPECT_EQ(EnUnidad(tablas::kMercanci), EnDatos(tablas::kMercanci)) << "the table delivered before is whole";
    EXPECT_FALSE(QFile::exists(QDir(unidad.path()).filePath(tablas::kEmpresas))) << "no half-written file under its name";
    EXPECT_EQ(QDir(unidad.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(Intercambio, RecuperarRevisaAntesDeTocarNada) {
    const QStringList todas = {tablas::kEmpresas, tablas::kMercanci, tablas::kLorumpai, tablas::kLorums};
    EXPECT_EQ(RevisaUnidad(unidad.filePath("no-hay"), todas).estado, EstadoUnidad::SinUnidad);
    EXPECT_EQ(RevisaUnidad(unidad.path(), todas).estado, EstadoUnidad::Faltan) << "an empty drive";
    ASSERT_TRUE(EntregaTablas(datos.path(), unidad.path(), TablasDeEntrega()).ok);
    QFile::remove(QDir(unidad.path()).filePath(tablas::kLorums));
    EXPECT_EQ(RevisaUnidad(unidad.path(), todas).estado, EstadoUnidad::Faltan) << "three of four";
    EXPECT_EQ(RevisaUnidad(unidad.path(), {tablas::kMercanci, tablas::kLorumpai}).estado, EstadoUnidad::Lista);
    QFile::rename(QDir(unidad.path()).filePath(tablas::kMercanci), QDir(unidad.path()).filePath("MERCANCI.DBF"));
    EXPECT_EQ(FExist(QDir(unidad.path()).filePath(tablas::kMercanci)), -1) << "names in any case";
    EXPECT_EQ(FExist(QDir(unidad.path()).filePath(tablas::kLorums)), 0);
    EscribeBytes(QDir(unidad.path()).filePath("lorumpai.dbf"), QByteArray(6, '\x03'));
    const RevisionUnidad danada = RevisaUnidad(unidad.path(), {tablas::kMercanci, tablas::kLorumpai});
    EXPECT_EQ(danada.estado, EstadoUnidad::Danada);
    EXPECT_TRUE(danada.mensaje.contains(QStringLiteral("lorumpai.dbf"))) << danada.mensaje.toStdString();
}

TEST_F(Intercambio, ReemplazarEsTodoONada) {
    ASSERT_TRUE(EntregaTablas(datos.path(), unidad.path(), TablasDeEntrega()).ok);
    // The drive's request differs from the working one in every table.
    for (const QString& t : TablasDeEntrega()) {
        Cursor c = AbreCursor(unidad.path(), QStringLiteral("FoxPro 2.5;"), t);
        c.AddNew();
        c.SetValor(0, t == tablas::kMercanci ? QVariant(7) : QVariant(QStringLiteral("DEL DISCO")));
        c.Update();
    }
    std::map<QString, QByteArray> antes;
    for (const QString& t : TablasDeEntrega()) antes[t] = EnDatos(t);
    Cursor abierto = AbreCursor(datos.path(), QStringLiteral("FoxPro 2.5;"), tablas::kEmpresas);

    // The third replacement fails (every retry): the two already replaced are put back.
    int copias = 0;
    const FuncionCopia fallaLaTercera = [&](const QString& o, const QString& d) {
        if (++copias >= 3) return ResultadoCopia{false, QStringLiteral("sin espacio")};
        return CopiaTabla(o, d);
    };
    const QStringList orden = {tablas::kEmpresas, tablas::kMercanci, tablas::kLorumpai, tablas::kLorums};
    ResultadoIntercambio r = ReemplazaTablas(unidad.path(), datos.path(), orden, fallaLaTercera);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.mensaje.contains(QStringLiteral("lorumpai.dbf")) && r.mensaje.contains(QStringLiteral("quedaron como estaban")))
        << r.mensaje.toStdString();
    EXPECT_EQ(copias, 5) << "the failing copy is tried a bounded number of times";
    for (const QString& t : TablasDeEntrega()) EXPECT_EQ(EnDatos(t), antes[t]) << t.toStdString();

    // Without failures every table is the drive's, and open cursors see it; the drive is only read.
    std::map<QString, QByteArray> disco;
    for (const QString& t : TablasDeEntrega()) disco[t] = EnUnidad(t);
    r = ReemplazaTablas(unidad.path(), datos.path(), orden);
    ASSERT_TRUE(r.ok) << r.mensaje.toStdString();
    for (const QString& t : TablasDeEntrega()) {
        EXPECT_EQ(EnDatos(t), disco[t]) << t.toStdString();
        EXPECT_EQ(EnUnidad(t), disco[t]) << t.toStdString();
    }
    abierto.MoveLast();
    EXPECT_EQ(abierto.Valor(0).toString(), QStringLiteral("DEL DISCO"));
}

namespace {

class Importa : public Intercambio {
protected:
    void SetUp() override {
        Intercambio::SetUp();
        Vacia();
    }
    void Vacia() { ASSERT_TRUE(CopiaTabla(datos.filePath("Omercanci.dbf"), datos.filePath("mercanci.dbf")).ok); }
    // Imports `libro` (from the test workbooks) saved in the data directory as `como`.
    ResultadoImportacion Importa_(const char* libro, const QString& como = QStringLiteral("mercancia.xls")) {
        for (const QString& n : QDir(datos.path()).entryList({"mercancia.*", "MERCANCIA.*"})) QFile::remove(datos.filePath(n));
        if (libro) {
            EXPECT_TRUE(QFile::copy(QStringLiteral(LORUM_DIR_LIBROS "/") + QLatin1String(libro), datos.filePath(como)));
        }
        OrigenDatos hoja;
        Cursor m = AbreCursor(datos.path(), QStringLiteral("FoxPro 2.6;"), QStringLiteral("mercanci"));
        return ImportaMercancias(hoja, m, datos.path());
    }
    // The items as "partida|fraccion|descrip|idum|unidadmed|cantidad|precio|total".
    QStringList Partidas() {
        QStringList p;
        Cursor m = AbreCursor(datos.path(), QStringLiteral("FoxPro 2.6;"), QStringLiteral("mercanci"));
        for (; !m.Eof(); m.MoveNext()) {
            QStringList c;
            for (int i : {1, 3, 4, 5, 6, 7, 8, 9}) c << (m.Valor(i).typeId() == QMetaType::Double ? TextoDeNumero(m.Valor(i).toDouble()) : m.Valor(i).toString());
            p << c.join(u'|');
        }
        return p;
    }
};

Celda N(double n, bool formula = false) {
    Celda c = Celda::DeNumero(n);
    c.formula = formula;
    return c;
}
Celda X(const char* t) { return Celda::DeTexto(QString::fromUtf8(t)); }
// A number read from text, as a CSV gives it: it keeps the text as written.
Celda NT(double n, const char* t) {
    Celda c = Celda::DeNumero(n);
    c.texto = QString::fromUtf8(t);
    return c;
}
// A text that a file without a settled decimal mark leaves undecided.
Celda Dudoso(const char* t) {
    Celda c = X(t);
    c.dudoso = true;
    return c;
}

}  // namespace

TEST_F(Importa, LasMismasPartidasDeCadaFormato) {
    struct Grupo {
        std::vector<const char*> libros;
        QStringList partidas;
        const char* cantidad;
        const char* valor;
    };
    const std::vector<Grupo> grupos = {
        {{"basico-biff5.xls", "basico-biff8.xls", "basico-xlwt.xls", "basico-openpyxl.xlsx", "basico-xlsxwriter.xlsx", "basico.ods",
          "basico.csv", "basico-excel.csv"},
         {"1|01011001|CABALLOS DE RAZA|0|KILO|2.5|40|100", "2|01011002|VACAS LECHERAS|0||1|50|50",
          "3|01011003|OVEJAS, CORDEROS \"FINAS\"|0||0|0|0"},
         "3.5", "150"},
        // LibreOffice in Spanish, text "as shown": the dot groups thousands, the comma marks decimals.
        {{"espanol-libreoffice.csv", "espanol-libreoffice-tab.csv"},
         {"1|73181599|TORNILLOS|0||1500|2|3000", "2|01011001|3.10|0||12.5|2|25"}, "1512.5", "3025"},
    };
    for (const Grupo& g : grupos) {
        for (const char* libro : g.libros) {
            const QString ext = QFileInfo(QString::fromLatin1(libro)).suffix();
            const ResultadoImportacion r = Importa_(libro, QStringLiteral("mercancia.") + ext);
            ASSERT_TRUE(r.ok) << libro << ": " << r.mensaje.toStdString();
            EXPECT_EQ(r.agregadas, g.partidas.size()) << libro;
            EXPECT_EQ(Partidas(), g.partidas) << libro << ": " << Partidas().join(" / ").toStdString();
            EXPECT_EQ(r.totalCantidad, QString::fromLatin1(g.cantidad));
            EXPECT_EQ(r.totalValor, QString::fromLatin1(g.valor));
            Vacia();
        }
    }
}

// The rules for the cells of one item row (row 2; a second row where a case has two).
TEST_F(Importa, ReglasDeLasFilas) {
    const Celda nada, sinCalcular{Celda::Tipo::SinCalcular, true, 0, {}};
    struct Caso {
        const char* que;
        std::vector<Hoja::Fila> filas;
        QStringList partidas;  // stored, when the sheet is good
        const char* dice;      // part of the message, when it is not
        const char* noDice = nullptr;
    };
    const std::vector<Caso> casos = {
        {"a formula counts as its result", {{N(1), X("01011001"), X("A"), N(1), N(2), N(100, true)}}, {"1|01011001|A|0|KILO|2|50|100"}, nullptr},
        {"a value longer than 15 characters", {{N(1), X("01011001"), X("P"), N(6), N(1234567.123456789), N(1234567.123456789)}},
         {"1|01011001|P|0|PIEZA|1234567.1234567|1|1234567.1234567"}, nullptr},
        {"no quantity: the unit price is 0", {{N(1), X("01011001"), X("A"), nada, N(0), N(100)}}, {"1|01011001|A|0||0|0|100"}, nullptr},
        {"a fraction as a number gets its zeros back", {{N(1), N(1011003), X("A"), nada, N(1), N(1)}}, {"1|01011003|A|0||1|1|1"}, nullptr},
        {"the first item row has no number", {{nada, X("01011001"), X("A"), N(1), N(1), N(1)}}, {}, nullptr},
        {"a formula without a result", {{N(1), X("01011001"), X("A"), nada, N(1), sinCalcular}}, {},
         "fila 2, columna F («fórmula»): la celda tiene una fórmula sin valor calculado"},
        {"an error", {{N(1), X("01011001"), X("A"), nada, N(1), Celda::DeError("#DIV/0!")}}, {}, "columna F («#DIV/0!»): la celda tiene un error"},
        {"an error in the item number", {{Celda::DeError("#N/A"), X("01011001"), X("A"), nada, N(1), N(1)}}, {}, "columna A («#N/A»)"},
        {"a true/false quantity", {{N(1), X("01011001"), X("A"), nada, Celda::DeLogico(true), N(1)}}, {}, "columna E («VERDADERO»): la celda tiene un valor lógico"},
        {"a date quantity", {{N(1), X("01011001"), X("A"), nada, Celda::DeFecha(46363), N(1)}}, {}, "columna E («07/12/2026»): la celda tiene una fecha"},
        {"inf is no number", {{N(1), X("01011001"), X("A"), nada, N(1), X("inf")}}, {}, "columna F («inf»): el valor no es un número"},
        {"nan is no number", {{N(1), X("01011001"), X("A"), nada, X("nan"), N(1)}}, {}, "columna E («nan»): la cantidad no es un número"},
        {"a text that is no number", {{X("X1"), X("01011001"), X("A"), nada, N(1), N(1)}}, {}, "columna A («X1»): el número de partida no es un número"},
        {"a unit key with a fraction, then a good one",
         {{N(1), X("01011001"), X("A"), N(1.9), N(1), N(1)}, {N(2), X("01011002"), X("B"), N(1), N(1), N(1)}}, {},
         "fila 2, columna D («1.9»): la clave de unidad debe ser un número entero", "fila 3"},
        {"a unit key that is not there", {{N(1), X("01011001"), X("A"), N(99), N(1), N(1)}}, {}, "columna D («99»): la unidad no está en el catálogo"},
        {"a negative fraction", {{N(1), N(-1234), X("A"), nada, N(1), N(1)}}, {}, "columna B («-1234»): la fracción debe ser un número entero de hasta 8 dígitos"},
        {"a fraction with decimals", {{N(1), N(1.5), X("A"), nada, N(1), N(1)}}, {}, "columna B («1.5»): la fracción debe ser"},
        {"a text fraction too long", {{N(1), X("123456789"), X("A"), nada, N(1), N(1)}}, {}, "columna B («123456789»): admite 8 caracteres"},
        {"a value too big", {{N(1), X("01011001"), X("A"), nada, N(1), N(1e20)}}, {}, "el número más grande que admite"},
        {"an item number that is not whole", {{N(1.5), X("01011001"), X("A"), nada, N(1), N(1)}, {N(2), X("01011002"), X("B"), nada, N(1), N(1)}}, {},
         "fila 2, columna A («1.5»): el número de partida debe ser un número entero", "fila 3"},
        {"text columns keep the text as written",
         {{NT(1, "1"), NT(1011003, "1.011.003"), NT(3.1, "3.10"), nada, NT(1500, "1.500"), NT(3000, "3.000")},
          {NT(2, "2"), X("01011002"), NT(12345678901234567890.0, "12345678901234567890"), nada, NT(2.5, "2,50"), NT(1, "1")}},
         {"1|01011003|3.10|0||1500|2|3000", "2|01011002|12345678901234567890|0||2.5|0.4|1"}, nullptr},
        {"an undecided decimal mark", {{N(1), X("01011001"), X("A"), nada, Dudoso("1.500"), N(1)}}, {},
         "fila 2, columna E («1.500»): no se sabe si el punto (o la coma) separa los miles o los decimales"},
        {"a unit price that does not fit", {{N(1), X("01011001"), X("A"), nada, N(0.01), N(1000000)}}, {},
         "fila 2, precio unitario (valor entre cantidad, «100000000»)", "columna F"},
    };
    const QByteArray vacia = EnDatos(tablas::kMercanci);
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.que);
        Hoja h;
        h.nombre = QStringLiteral("Hoja1");
        for (size_t f = 0; f < c.filas.size(); ++f)
            for (int col = 0; col < Hoja::kColumnas; ++col) h.pon(int(f) + 2, col, c.filas[f][size_t(col)]);
        Cursor m = AbreCursor(datos.path(), QStringLiteral("FoxPro 2.6;"), QStringLiteral("mercanci"));
        const ResultadoImportacion r = ImportaHoja(h, QStringLiteral("libro.xlsx"), m, datos.path());
        if (c.dice) {
            EXPECT_FALSE(r.ok);
            EXPECT_TRUE(r.mensaje.startsWith(QStringLiteral("No se importó ninguna partida de «libro.xlsx»: corrija la hoja «Hoja1»")));
            EXPECT_TRUE(r.mensaje.contains(QString::fromUtf8(c.dice))) << r.mensaje.toStdString();
            if (c.noDice) {
                EXPECT_FALSE(r.mensaje.contains(QString::fromUtf8(c.noDice))) << r.mensaje.toStdString();
            }
            EXPECT_EQ(EnDatos(tablas::kMercanci), vacia) << "nothing appended";
        } else {
            EXPECT_TRUE(r.ok) << r.mensaje.toStdString();
            EXPECT_EQ(Partidas(), c.partidas);
        }
        Vacia();
    }
}

TEST_F(Importa, QueLibroSeLeeYCuandoNoSirve) {
    // Found without regard to case; .xls before .xlsx, .ods and .csv.
    ResultadoImportacion r = Importa_("basico-biff8.xls", QStringLiteral("MERCANCIA.XLS"));
    EXPECT_TRUE(r.ok) << r.mensaje.toStdString();
    Importa_(nullptr);
    for (const char* otro : {"mercancia.ods", "mercancia.csv"}) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(LORUM_DIR_LIBROS "/tipos.ods"), datos.filePath(otro)));
    }
    ASSERT_TRUE(QFile::copy(QStringLiteral(LORUM_DIR_LIBROS "/basico-openpyxl.xlsx"), datos.filePath("mercancia.xlsx")));
    EXPECT_EQ(LibroDeMercancias(datos.path()), datos.filePath("mercancia.xlsx"));
    // The only sheet of an .xlsx without "Hoja1".
    Vacia();
    r = Importa_("una-hoja.xlsx", QStringLiteral("mercancia.xlsx"));
    EXPECT_TRUE(r.ok) << r.mensaje.toStdString();
    EXPECT_EQ(r.agregadas, 3);

    Vacia();
    const QByteArray antes = EnDatos(tablas::kMercanci);
    QFile cortado(datos.filePath("cortado.xls"));
    ASSERT_TRUE(cortado.open(QIODevice::WriteOnly));
    QString error;
    cortado.write(LeeArchivo(QStringLiteral(LORUM_DIR_LIBROS "/tipos-biff8.xls"), &error).left(9000));
    cortado.close();
    for (const auto& [libro, dice] : {std::pair{"sin-hoja1.xls", "Libro «mercancia.xls»: no tiene la hoja «Hoja1» (sus hojas: «Mercancias»)"},
                                      {nullptr, "No se encontró el libro «mercancia.xls» (ni «mercancia.xlsx»"},
                                      {"genera.sh", "no es un libro de Excel (.xls, .xlsx) ni de OpenDocument"}}) {
        r = Importa_(libro);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.mensaje.contains(QString::fromUtf8(dice))) << r.mensaje.toStdString();
        EXPECT_TRUE(r.mensaje.endsWith(QStringLiteral("No se importó ninguna partida."))) << r.mensaje.toStdString();
        EXPECT_EQ(EnDatos(tablas::kMercanci), antes);
    }
    OrigenDatos hoja;
    Cursor m = AbreCursor(datos.path(), QStringLiteral("FoxPro 2.6;"), QStringLiteral("mercanci"));
    r = ImportaMercancias(hoja, m, datos.path(), datos.filePath("cortado.xls"));
    EXPECT_TRUE(r.mensaje.startsWith(QStringLiteral("Libro «cortado.xls»: está dañado"))) << r.mensaje.toStdString();
    EXPECT_EQ(EnDatos(tablas::kMercanci), antes);
}
