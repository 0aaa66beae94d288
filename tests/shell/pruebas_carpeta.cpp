// Where the request lives, and how an installed program's user folder is filled and kept.

#include "Auxiliares.h"
#include "CarpetaDatos.h"
#include "Opciones.h"
#include "GeneradorDatos.h"
#include "TablasSolicitud.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lorum;

namespace {

QByteArray Contenido(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Envejece(const QString& ruta, int segundos) {
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-segundos), QFileDevice::FileModificationTime));
}

}  // namespace

TEST(CarpetaDatos, SeEligePorOpcionEntornoOLaDelPrograma) {
    QTemporaryDir raiz;
    const QDir r(raiz.path());
    // A build folder (catalogs beside the program), an installed layout, and a bare folder.
    const QString propia = r.filePath("propia"), bin = r.filePath("usr/bin"), compartida = r.filePath("usr/share/lorum");
    PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), propia);
    PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), compartida);
    ASSERT_TRUE(QDir().mkpath(bin));
    const QString usuario = r.filePath("home/.local/share/lorum"), otra = r.filePath("otra");
    const QString instalada = r.filePath("Program Files/LORUM");
    PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), instalada);
    prueba::EscribeBytes(QDir(instalada).filePath(kMarcaDeInstalacion), "");
    struct Caso {
        const char* que;
        QStringList argumentos;
        QString entorno, programa;
        bool escribible;
        QString ruta, instalada;
    };
    const std::vector<Caso> casos = {
        {"the option first", {"lorum", "--datos", otra}, r.filePath("env"), propia, true, otra, propia},
        {"then the environment", {"lorum"}, otra, propia, true, otra, propia},
        {"the program's own writable folder", {"lorum", "--unidad-a", "/x"}, {}, propia, true, propia, {}},
        {"a read-only own folder: the user's, filled from it", {"lorum"}, {}, propia, false, usuario, propia},
        {"installed: the user's, filled from share/lorum", {"lorum"}, {}, bin, true, usuario, compartida},
        {"installed, with the option", {"lorum", "--datos", otra}, {}, bin, true, otra, compartida},
        {"the option naming the installed copy itself", {"lorum", "--datos", compartida}, {}, bin, true, compartida, {}},
        {"nothing installed anywhere", {"lorum"}, {}, otra, true, usuario, {}},
        {"a copy a setup program installed, writable all the same: the user's, filled from it", {"lorum"}, {}, instalada, true,
         usuario, instalada},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.que);
        const CarpetaDatos d = EligeCarpetaDatos(LeeOpciones(c.argumentos).datos, c.entorno, c.programa, usuario, [&](const QString&) { return c.escribible; });
        EXPECT_EQ(d.ruta, c.ruta) << c.que;
        EXPECT_EQ(d.instalada, c.instalada) << c.que;
    }
}

TEST(CarpetaDatos, LaCarpetaDelUsuarioSeLlenaYSusTablasNuncaSeReemplazan) {
    QTemporaryDir raiz;
    const QString instalada = QDir(raiz.path()).filePath("share/lorum"), usuario = QDir(raiz.path()).filePath("usuario");
    PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), instalada);
    for (const auto& t : tablas::TablasDeSolicitud()) QFile::remove(QDir(instalada).filePath(t.archivo));  // as packaged
    QFile::copy(QStringLiteral(LORUM_DIR_DATOS "/considera.rtf"), QDir(instalada).filePath("considera.rtf"));
    for (const QString& a : ArchivosCompartidos())
        if (QFile::exists(QDir(instalada).filePath(a))) Envejece(QDir(instalada).filePath(a), 3600);

    // First start: everything installed is brought, and the working tables are made from the templates.
    ASSERT_EQ(LlenaCarpetaDatos(usuario, instalada), QString());
    const QDir u(usuario);
    for (const QString& a : ArchivosCompartidos()) {
        if (!QFile::exists(QDir(instalada).filePath(a))) continue;
        EXPECT_EQ(Contenido(u.filePath(a)), Contenido(QDir(instalada).filePath(a))) << a.toStdString();
    }
    for (const auto& t : tablas::TablasDeSolicitud())
        EXPECT_EQ(Contenido(u.filePath(t.archivo)), Contenido(u.filePath(t.plantilla))) << t.archivo.toStdString();

    // The user's request, then a second start and an upgrade with a newer catalog and a newer template.
    const QString mercanci = u.filePath(tablas::kMercanci);
    QFile m(mercanci);
    ASSERT_TRUE(m.open(QIODevice::Append));
    m.write("\x1a");
    m.close();
    const QByteArray solicitud = Contenido(mercanci), catalogo = Contenido(u.filePath("CATUM.dbf"));
    ASSERT_EQ(LlenaCarpetaDatos(usuario, instalada), QString());
    EXPECT_EQ(Contenido(mercanci), solicitud) << "a second start keeps the working tables byte for byte";
    EXPECT_EQ(Contenido(u.filePath("CATUM.dbf")), catalogo);

    for (const char* nuevo : {"CATUM.dbf", "Omercanci.dbf"}) {
        QFile f(QDir(instalada).filePath(nuevo));
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("\x1a");
    }
    ASSERT_EQ(LlenaCarpetaDatos(usuario, instalada), QString());
    EXPECT_EQ(Contenido(u.filePath("CATUM.dbf")), Contenido(QDir(instalada).filePath("CATUM.dbf"))) << "a newer catalog replaces the copy";
    EXPECT_EQ(Contenido(u.filePath("Omercanci.dbf")), Contenido(QDir(instalada).filePath("Omercanci.dbf")));
    EXPECT_EQ(Contenido(mercanci), solicitud) << "a working table, never";

    // A copy on a FAT folder keeps the installed time rounded down to two seconds: it is not copied
    // again on every start; one older than that is. What is copied is readable as the umask says.
    const QString instalado = QDir(instalada).filePath("CATPAIS.dbf"), copia = u.filePath("CATPAIS.dbf");
    const QDateTime hora(QDate(2026, 1, 1), QTime(10, 0, 1, 500));
    for (const auto& [horaCopia, copiada] : {std::pair{hora.addMSecs(-1500), false}, {hora.addSecs(-3), true}}) {
        {
            QFile i(instalado), c(copia);
            ASSERT_TRUE(i.open(QIODevice::ReadWrite) && i.setFileTime(hora, QFileDevice::FileModificationTime));
            prueba::EscribeBytes(copia, "marca");
            ASSERT_TRUE(c.open(QIODevice::ReadWrite) && c.setFileTime(horaCopia, QFileDevice::FileModificationTime));
        }  // closed: Windows replaces no file another handle holds open
        ASSERT_EQ(LlenaCarpetaDatos(usuario, instalada), QString());
        EXPECT_EQ(Contenido(copia) != "marca", copiada) << horaCopia.toString().toStdString();
    }
    EXPECT_TRUE(QFileInfo(copia).permissions().testFlag(QFileDevice::ReadOther)) << "not 0600";

    // A user folder that cannot be made is said.
    EXPECT_TRUE(LlenaCarpetaDatos(QDir(instalada).filePath("CATUM.dbf/x"), instalada).startsWith(QStringLiteral("No se pudo crear")));
}
