#include "Opciones.h"
#include "ArranquePrueba.h"
#include "Auxiliares.h"
#include "Bienvenida.h"
#include "CarpetaDatos.h"
#include "ControlesCatalogo.h"
#include "ControlesTexto.h"
#include "Intercambio.h"
#include "Plataforma.h"
#include "OrigenDatos.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <functional>

using namespace lorum;
using namespace lorum::prueba;

namespace {

const QString kFox = QStringLiteral("FoxPro 2.5;");

class Inicio : public Arranque {};

}  // namespace

TEST_F(Inicio, CreaLosRegistrosProvisionalesSoloEnTablasVacias) {
    ASSERT_TRUE(Arranca());
    Cursor e = AbreCursor(dir.path(), kFox, "empresas");
    ASSERT_EQ(e.RecordCount(), 1);
    EXPECT_EQ(e.Valor(u"RFC").toString(), "RFC");
    EXPECT_EQ(e.Valor(u"NOMBRE").toString(), "Nombre");
    Cursor s = AbreCursor(dir.path(), kFox, "lorums");
    ASSERT_EQ(s.RecordCount(), 1);
    EXPECT_EQ(s.Valor(u"IDTRA").toInt(), 4);
    EXPECT_TRUE(sonido.rutas.isEmpty()) << "the sound waits for the windows to be on the screen";
    QCoreApplication::processEvents();
    EXPECT_EQ(sonido.rutas, QStringList{dir.path() + "/rec/XYLOPHON.wav"});
    EXPECT_TRUE(inicia->bienvenida()->isVisible());
    // The placeholder's RFC is checked once the main window is up: one message over it, and
    // everything else still loads.
    ASSERT_EQ(mensajes.mostrados.size(), 1u);
    EXPECT_TRUE(mensajes.mostrados[0].texto.startsWith(QStringLiteral("El RFC no puede ser menor de 13 caracteres")));
    EXPECT_TRUE(mensajes.mostrados[0].sobreVentana);
    EXPECT_EQ(Forma().dfRFC->Text(), QStringLiteral("RFC"));
    EXPECT_EQ(Forma().CtrdfTxtNom->Text(), QStringLiteral("Nombre"));
    EXPECT_EQ(Forma().cmbTramite->Text(), QStringLiteral("PERMISO DE IMPORTACIÓN O EXPORTACIÓN"));
    inicia.reset();

    // Tables that hold records are left as they are; the last record becomes the current one.
    Cursor agrega = AbreCursor(dir.path(), kFox, "empresas");
    agrega.AddNew();
    agrega.SetValor(u"RFC", QStringLiteral("ABCD010101XY1"));
    agrega.Update();
    const QByteArray antes = LeeBytes(dir.filePath("empresas.dbf"));
    ASSERT_TRUE(Arranca());
    EXPECT_EQ(LeeBytes(dir.filePath("empresas.dbf")), antes);
    EXPECT_EQ(Forma().dtsPrincipal.Registros().Valor(u"RFC").toString(), "ABCD010101XY1");
    EXPECT_EQ(Forma().dtsSolicitud.Registros().RecordCount(), 1);
}

TEST_F(Inicio, UnaSegundaInstanciaSeDespideYLaPrimeraSigue) {
    ASSERT_TRUE(Arranca());
    MensajesGuionados otros;
    otros.Responde(ServicioMensajes::Respuesta::Aceptar);
    SonidoFalso mudo;
    Inicia segunda(otros, mudo);
    EXPECT_FALSE(segunda.Main(dir.path()));
    ASSERT_EQ(otros.mostrados.size(), 1u);
    EXPECT_EQ(otros.mostrados[0].texto, QStringLiteral("Esta aplicación ya esta corriendo"));
    EXPECT_EQ(otros.mostrados[0].titulo, QString());
    EXPECT_EQ(otros.mostrados[0].icono, ServicioMensajes::Icono::Informacion);
    EXPECT_EQ(segunda.ventana(), nullptr);
    EXPECT_TRUE(Ventana().isVisible());
}

TEST_F(Inicio, UnCandadoDejadoPorUnProcesoCaidoNoImpideArrancar) {
    // The real program runs on the data folder (started by hand), then is killed without freeing
    // anything. Its applicant has a valid RFC, so it shows no message.
    {
        Cursor e = AbreCursor(dir.path(), kFox, "empresas");
        e.AddNew();
        e.SetValor(u"RFC", QStringLiteral("PEGJ800101AB1"));
        e.Update();
    }
    QProcess otro;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    otro.setProcessEnvironment(entorno);
    otro.start(QStringLiteral(LORUM_PROGRAMA), {QStringLiteral("--datos=") + dir.path()});
    ASSERT_TRUE(otro.waitForStarted());
    // Held once the other program has it: a second lock is refused. Tried only once the file is there,
    // so that the test's own lock never comes first and removes it under the program.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(Inicia::RutaCandado(dir.path())); }, 30000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Candado().Toma(dir.path()) == Candado::Estado::Ocupado; }, 30000));
    // Kept out, whatever way the same folder is named: a link to it, a path with a trailing "/.".
    const QString enlace = QDir(dir.path()).filePath("../" + QFileInfo(dir.path()).fileName() + "-enlace");
    QStringList nombres = {dir.path(), dir.path() + "/."};
    if (kPosix) {
        ASSERT_TRUE(QFile::link(dir.path(), enlace));
        nombres << enlace;
    }
    for (const QString& ruta : nombres) {
        MensajesGuionados otros;
        otros.Responde(ServicioMensajes::Respuesta::Aceptar);
        SonidoFalso mudo;
        Inicia segunda(otros, mudo);
        EXPECT_FALSE(segunda.Main(ruta)) << "kept out while the other runs: " << ruta.toStdString();
        ASSERT_EQ(otros.mostrados.size(), 1u);
        EXPECT_EQ(otros.mostrados[0].texto, QStringLiteral("Esta aplicación ya esta corriendo"));
    }
    QFile::remove(enlace);
    otro.kill();
    otro.waitForFinished();
    ASSERT_TRUE(QFile::exists(Inicia::RutaCandado(dir.path())));
    EXPECT_TRUE(Arranca());
    inicia.reset();
    EXPECT_FALSE(QFile::exists(Inicia::RutaCandado(dir.path()))) << "an end leaves nothing behind";
}

// A lock that cannot be taken is said as such, never as "already running", and nothing is written
// where a link points.
TEST_F(Inicio, UnCandadoQueNoSePuedeTomarSeDiceComoTal) {
    const QString candado = Inicia::RutaCandado(dir.path()), fuera = dir.filePath("fuera.txt");
    const struct {
        const char* que;
        std::function<void()> prepara;
    } casos[] = {
        {"a link at the lock's name", [&] { ASSERT_TRUE(QFile::link(fuera, candado)); }},
        {"a folder at the lock's name", [&] { ASSERT_TRUE(QDir().mkpath(candado)); }},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.que);
        if (!kPosix && &c == casos) continue;  // a Windows "link" (a shortcut) is a plain file
        c.prepara();
        mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
        inicia = std::make_unique<Inicia>(mensajes, sonido);
        EXPECT_FALSE(inicia->Main(dir.path()));
        ASSERT_FALSE(mensajes.mostrados.empty());
        EXPECT_TRUE(mensajes.mostrados.back().texto.startsWith(QStringLiteral("No se pudo apartar el directorio de datos")))
            << mensajes.mostrados.back().texto.toStdString();
        EXPECT_EQ(mensajes.mostrados.back().icono, ServicioMensajes::Icono::Critico);
        EXPECT_FALSE(QFile::exists(fuera)) << "nothing made where the link points";
        inicia.reset();
        QFile::remove(candado);
        QDir(candado).removeRecursively();
    }
}

// The fonts read on another thread: waited for once or twice, or never (a start that ends before its
// first window), the thread is always joined.
TEST(Fuentes, ElHiloSeEsperaSiempre) {
    { const std::function<void()> nunca = LeeFuentesAparte(); }
    const std::function<void()> espera = LeeFuentesAparte();
    espera();
    espera();
}

// The command line: a folder option without its folder ends the program with a message on the
// terminal, never another folder.
TEST(Opciones, UnaCarpetaFaltanteSeRechaza) {
    const struct {
        QStringList argumentos;
        int salida;
        const char* dice;
    } casos[] = {
        {{"--datos"}, 2, "la opción --datos necesita el nombre de una carpeta"},
        {{"--datos="}, 2, "la opción --datos necesita el nombre de una carpeta"},
        {{"--datos", ""}, 2, "la opción --datos necesita el nombre de una carpeta"},
        {{"--unidad-a="}, 2, "la opción --unidad-a necesita"},
        {{"--version"}, 0, "lorum 1.0.9"},
        {{"--help"}, 0, "--datos CARPETA"},
    };
    for (const auto& c : casos) {
        QProcess p;
        p.start(QStringLiteral(LORUM_PROGRAMA), c.argumentos);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), c.salida) << c.argumentos.join(' ').toStdString();
        const QString dicho = QString::fromLocal8Bit(p.readAllStandardError() + p.readAllStandardOutput());
        EXPECT_TRUE(dicho.contains(QString::fromUtf8(c.dice))) << dicho.toStdString();
    }
    // Both spellings of a folder option; Qt's own options are left to Qt.
    for (const QStringList& a : {QStringList{"lorum", "--datos=/srv/lorum", "-platform", "offscreen", "--unidad-a", "/mnt/usb"},
                                 QStringList{"lorum", "-style", "fusion", "--datos", "/srv/lorum", "--unidad-a=/mnt/usb"}}) {
        const lorum::Opciones o = LeeOpciones(a);
        EXPECT_TRUE(o.error.isEmpty()) << o.error.toStdString();
        EXPECT_EQ(EligeCarpetaDatos(o.datos, {}, "/usr/bin", "/home/u", [](const QString&) { return true; }).ruta,
                  QStringLiteral("/srv/lorum"));
        EXPECT_EQ(o.unidadA, QStringLiteral("/mnt/usb"));
    }
}

TEST_F(Inicio, DirectorioSinEscrituraOTablaFaltanteSeInformanAlArrancar) {
    mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
    inicia = std::make_unique<Inicia>(mensajes, sonido);
    EXPECT_FALSE(inicia->Main(dir.filePath("no-existe")));
    ASSERT_EQ(mensajes.mostrados.size(), 1u);
    EXPECT_TRUE(mensajes.mostrados[0].texto.startsWith(QStringLiteral("No se puede escribir en el directorio de datos")));
    inicia.reset();

    QFile::remove(dir.filePath("lorums.dbf"));
    mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
    EXPECT_FALSE(Arranca());
    ASSERT_EQ(mensajes.mostrados.size(), 2u);
    EXPECT_TRUE(mensajes.mostrados[1].texto.contains(QStringLiteral("lorums.dbf"))) << mensajes.mostrados[1].texto.toStdString();
}

TEST(Bienvenida, VersionCentradoYSeOcultaSoloSobreSuSuperficie) {
    EXPECT_EQ(Bienvenida::TextoVersion("1.0.9"), QStringLiteral("Ver. 1.09"));
    EXPECT_EQ(Bienvenida::TextoVersion("1.0.1"), QStringLiteral("Ver. 1.01"));
    Bienvenida b("1.0.9");
    b.MuestraCentrada();
    const QRect pantalla = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(b.x(), (pantalla.width() - b.width()) / 2);
    EXPECT_EQ(b.y(), (pantalla.height() - b.height()) / 2);
    EXPECT_EQ(b.findChild<QLabel*>("lblVersion")->text(), QStringLiteral("Ver. 1.09"));

    auto mueve = [&](QWidget* destino, QPoint punto) {
        QMouseEvent e(QEvent::MouseMove, punto, destino->mapToGlobal(punto), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(destino, &e);
    };
    QLabel* etiqueta = b.findChild<QLabel*>("lblVersion");
    mueve(etiqueta, QPoint(2, 2));
    EXPECT_TRUE(b.isVisible()) << "a move over a label does not hide it";
    mueve(&b, QPoint(3, 3));
    EXPECT_FALSE(b.isVisible());
    EXPECT_EQ(b.windowType(), Qt::SplashScreen) << "never in the window list";

    // The first key anywhere in the program hides it too.
    QWidget otra;
    otra.show();
    b.MuestraCentrada();
    QTest::keyClick(&otra, Qt::Key_A);
    EXPECT_FALSE(b.isVisible());
}

TEST_F(Inicio, ElAvisoDeGuardadoSeOcultaYMuestraLaCaptura) {
    ASSERT_TRUE(Arranca());
    Ventana().hide();
    inicia->form1()->Muestra();
    EXPECT_TRUE(inicia->form1()->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !inicia->form1()->isVisible(); }, 4000));
    EXPECT_TRUE(Ventana().isVisible());
}

TEST(Traduccion, LosDialogosDeQtHablanEspanol) {
    // The print dialog's own texts, as the user sees them.
    ASSERT_TRUE(Inicia::TraduceQt());
    EXPECT_EQ(QCoreApplication::translate("QPrintDialog", "Print"), QStringLiteral("Imprimir"));
    EXPECT_EQ(QCoreApplication::translate("QPrintDialog", "Print to File (PDF)"), QStringLiteral("Imprimir a archivo (PDF)"));
}
