// Delivery to the drive and recovery from it, on real tables in temporary folders.
#include "Auxiliares.h"
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
#include <csignal>
#include <functional>
#include <sys/resource.h>

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

TEST(Unidad, ElDiscoEsUnAjuste) {
    qunsetenv("LORUM_UNIDAD_A");
    EXPECT_EQ(UnidadA({}), QStringLiteral("/media/floppy"));
    EXPECT_EQ(UnidadA({"lorum", "--unidad-a", "/mnt/usb"}), QStringLiteral("/mnt/usb"));
    qputenv("LORUM_UNIDAD_A", "/run/media/memoria");
    EXPECT_EQ(UnidadA({}), QStringLiteral("/run/media/memoria"));
    EXPECT_EQ(UnidadA({"lorum", "--unidad-a", "/mnt/usb"}), QStringLiteral("/mnt/usb")) << "the command line first";
    qunsetenv("LORUM_UNIDAD_A");
}

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

    // A medium that fills up: the file-size limit stops the second table half-way.
    const qint64 primera = EnDatos(tablas::kMercanci).size();
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit antes{};
    getrlimit(RLIMIT_FSIZE, &antes);
    rlimit limite = antes;
    limite.rlim_cur = rlim_t(primera + 10);
    ASSERT_GT(EnDatos(tablas::kEmpresas).size(), primera + 10);
    setrlimit(RLIMIT_FSIZE, &limite);
    r = EntregaTablas(datos.path(), unidad.path(), TablasDeEntrega());
    setrlimit(RLIMIT_FSIZE, &antes);
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
    ResultadoImportacion Importa_(const char* libro) {
        QFile::remove(datos.filePath("mercancia.xls"));
        if (libro) {
            EXPECT_TRUE(QFile::copy(QStringLiteral(LORUM_DIR_LIBROS "/") + QLatin1String(libro), datos.filePath("mercancia.xls")));
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

}  // namespace

TEST_F(Importa, PartidasDeUnLibroBiff5YBiff8) {
    const QStringList esperadas = {"1|01011001|CABALLOS DE RAZA|0|KILO|2.5|40|100", "2|01011002|VACAS LECHERAS|0||1|50|50",
                                   "3|01011003|OVEJAS, CORDEROS|0||0||0"};
    for (const char* libro : {"basico-biff5.xls", "basico-biff8.xls", "basico-xlwt.xls"}) {
        const ResultadoImportacion r = Importa_(libro);
        ASSERT_TRUE(r.ok) << libro << ": " << r.mensaje.toStdString();
        EXPECT_EQ(r.agregadas, 3) << libro;
        EXPECT_EQ(Partidas(), esperadas) << libro << ": " << Partidas().join(" / ").toStdString();
        EXPECT_EQ(r.totalCantidad, QStringLiteral("3.5"));
        EXPECT_EQ(r.totalValor, QStringLiteral("150"));
        Vacia();
    }
}

TEST_F(Importa, CasosDeLaHojaYLibrosQueNoSirven) {
    ResultadoImportacion r = Importa_("vacio-biff8.xls");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.agregadas, 0) << "the first item row has no item number";
    EXPECT_TRUE(Partidas().isEmpty());
    r = Importa_("largo-biff5.xls");
    ASSERT_TRUE(r.ok) << r.mensaje.toStdString();
    EXPECT_EQ(Partidas(), QStringList{"1|01011001|PRECISION|0|PIEZA|1234567.1234567|1|1234567.1234567"});

    const QByteArray antes = EnDatos(tablas::kMercanci);
    r = Importa_("malo-biff8.xls");
    EXPECT_FALSE(r.ok);
    for (const char* dice : {"fila 3, columna A («X1»)", "fila 4, columna D («99»)", "fila 5, columna E («abc»)",
                             "fila 6, columna F", "el número más grande que admite", "fila 7, columna B («123456789»): admite 8 caracteres"})
        EXPECT_TRUE(r.mensaje.contains(QString::fromUtf8(dice))) << dice << "\n" << r.mensaje.toStdString();
    EXPECT_FALSE(r.mensaje.contains(QStringLiteral("fila 2,"))) << "a good row is no fault";
    EXPECT_EQ(EnDatos(tablas::kMercanci), antes) << "nothing appended";
    for (const auto& [libro, dice] : {std::pair{"sin-hoja1.xls", "no tiene la hoja «Hoja1»"}, {nullptr, "No se encontró el libro «mercancia.xls»"},
                                      {"genera.sh", "no se pudo leer"}}) {
        r = Importa_(libro);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.mensaje.contains(QString::fromUtf8(dice))) << r.mensaje.toStdString();
        EXPECT_EQ(EnDatos(tablas::kMercanci), antes);
    }
}
