// The focus rules with the real Qt message boxes, closed from a timer: the scripted fake never takes
// the focus, a real box does.
#include "ArranquePrueba.h"
#include "Auxiliares.h"
#include "ControlesTexto.h"
#include "DlgMail.h"
#include "GuardiaFoco.h"
#include "Intercambio.h"
#include "TablasSolicitud.h"
#include "MensajesQt.h"
#include "RejillaLigada.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <functional>
#include <QPlainTextEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSet>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace lorum;
using namespace lorum::prueba;

namespace {

class CajasReales : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), dir.path());
        // Each box is read and closed as soon as it shows; whether it held the focus is noted.
        QObject::connect(&cerrador, &QTimer::timeout, [this] {
            auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!caja || !caja->isVisible()) return;
            // A box is closed once it holds the focus, as a person's answer would come.
            if (!caja->isAncestorOf(QApplication::focusWidget()) && ++esperas < 20) return;
            esperas = 0;
            vistas << caja->text();
            conFoco = conFoco || caja->isAncestorOf(QApplication::focusWidget());
            if (contesta) contesta(caja);
            else if (caja->escapeButton()) caja->escapeButton()->click();
            else caja->buttons().at(1)->click();  // a question with no escape answer: "No"
            // The offscreen platform has no window manager to give the main window back its focus.
            if (QGuiApplication::platformName() == QLatin1String("offscreen"))
                QTimer::singleShot(0, [this] { QApplication::setActiveWindow(inicia->ventana()); });
        });
        cerrador.start(10);
        inicia = std::make_unique<Inicia>(cajas, sonido);
        auto m = std::make_unique<MediosFalsos>(QDir(ajustes.path()).filePath(QStringLiteral("lorum.ini")));
        medios = m.get();
        inicia->PonMedios(std::move(m));
        ASSERT_TRUE(inicia->Main(dir.path()));
        inicia->bienvenida()->hide();
        Activa();
        vistas.clear();
    }
    // Waits for the main window to be active again, as it is after a box under a window manager.
    void Activa() {
        inicia->ventana()->activateWindow();
        QApplication::setActiveWindow(inicia->ventana());
        EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == inicia->ventana(); }, 2000));
        QTest::qWait(50);
    }
    Captura& Forma() { return *inicia->ventana()->captura(); }

    QTemporaryDir dir, ajustes;
    MediosFalsos* medios = nullptr;
    MensajesQt cajas;
    SonidoFalso sonido;
    std::unique_ptr<Inicia> inicia;
    QTimer cerrador;
    QStringList vistas;
    std::function<void(QMessageBox*)> contesta;  // by default, the box's escape button
    bool conFoco = false;
    int esperas = 0;
};

}  // namespace

TEST_F(CajasReales, UnaCajaQueTomaElFocoNoEsSalirDelCampo) {
    Captura& f = Forma();
    inicia->ventana()->Opera(QStringLiteral("LimpiaInformacion"));  // answered No: a new request, saves append
    LlenaSolicitud(f);
    const struct {
        const char* caso;
        int pagina;
        ControldfTxt* campo;
        const char* texto;
    } casos[] = {
        {"RFC incompleto", 0, f.dfRFC, "ABC"},  // leaving it would show the RFC check's box
        {"teléfono del representante", 1, f.TxtRep_Tel, "5512"},  // leaving it would turn the page
    };
    for (const auto& k : casos) {
        f.SSTab1->setCurrentIndex(k.pagina);
        QApplication::processEvents();
        k.campo->setDatoTxt(QString::fromUtf8(k.texto));
        k.campo->setFocus();
        QApplication::processEvents();
        vistas.clear();
        conFoco = false;
        inicia->ventana()->Accion("mnuFuncGuardar")->trigger();  // Ctrl+G: the save's one message
        Activa();
        ASSERT_EQ(vistas.size(), 1) << k.caso << ": " << vistas.join(" | ").toStdString();
        EXPECT_TRUE(vistas[0].startsWith(QStringLiteral("Se ha guardado la información correctamente"))) << k.caso;
        EXPECT_TRUE(conFoco) << k.caso << ": the box must have taken the focus for this test to mean anything";
        EXPECT_EQ(GuardiaFoco::CampoDe(QApplication::focusWidget()), k.campo)
            << k.caso << ": the focus is on " << (QApplication::focusWidget() ? qPrintable(QApplication::focusWidget()->accessibleName()) : "nothing");
        EXPECT_EQ(f.SSTab1->currentIndex(), k.pagina) << k.caso;
        f.dfRFC->setDatoTxt(QStringLiteral("PEGJ800101AB1"));  // the next case's moves are no leave of a bad RFC
    }

    // Leaving for another field of the form still checks the RFC.
    QApplication::setActiveWindow(inicia->ventana());
    f.SSTab1->setCurrentIndex(0);
    QApplication::processEvents();  // the page takes the focus to its first field
    f.dfRFC->setFocus();
    f.dfRFC->setDatoTxt(QStringLiteral("ABC"));
    QApplication::processEvents();
    vistas.clear();
    QTest::keyClick(f.dfRFC->dfTxt, Qt::Key_Tab);
    (void)QTest::qWaitFor([&] { return !vistas.isEmpty(); }, 3000);
    Activa();
    ASSERT_EQ(vistas.size(), 1) << vistas.join(" | ").toStdString();
    EXPECT_EQ(GuardiaFoco::CampoDe(QApplication::focusWidget()), f.dfRFC);
}

// "¿Desea conservar los datos generales?": both answers change the request, so Escape, the close
// button and the window manager's close leave the question open and the tables as they were.
TEST_F(CajasReales, EscapeNoContestaUnaPreguntaQueCambiaLosDatos) {
    Captura& f = Forma();
    LlenaSolicitud(f);
    inicia->ventana()->Accion("mnuFuncGuardar")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([this] { return vistas.size() == 1; }, 5000));  // "Se ha guardado…"
    auto tablas = [this] {
        QByteArray b;
        for (const char* t : {"empresas.dbf", "lorums.dbf", "mercanci.dbf", "lorumpai.dbf"}) {
            QFile a(QDir(dir.path()).filePath(QString::fromLatin1(t)));
            b += a.open(QIODevice::ReadOnly) ? a.readAll() : QByteArray("?");
        }
        return b;
    };
    const QByteArray antes = tablas();
    bool abiertaTrasEscape = false, abiertaTrasCerrar = false;
    QByteArray durante;
    contesta = [&](QMessageBox* caja) {
        QTest::keyClick(caja, Qt::Key_Escape);
        abiertaTrasEscape = caja->isVisible();
        caja->close();
        abiertaTrasCerrar = caja->isVisible();
        durante = tablas();
        for (QAbstractButton* b : caja->buttons())
            if (b->text() == QStringLiteral("&Sí")) b->click();
    };
    inicia->ventana()->Opera(QStringLiteral("LimpiaInformacion"));
    EXPECT_EQ(vistas.back(), QStringLiteral("¿Desea conservar los datos generales?"));
    EXPECT_TRUE(abiertaTrasEscape);
    EXPECT_TRUE(abiertaTrasCerrar);
    EXPECT_EQ(durante, antes) << "nothing changed before an answer";
    EXPECT_EQ(f.dfRFC->Text(), QStringLiteral("PEGJ800101AB1")) << "Sí keeps the applicant";
}

TEST_F(CajasReales, UnaVentanaDeAyudaNoEsSalirDelCampo) {
    // The comments window takes the focus from an RFC that would not pass its check; a failed send
    // shows its own box only, and the window keeps the text.
    if (QFile::exists(QStringLiteral("/usr/sbin/sendmail")) || QFile::exists(QStringLiteral("/usr/lib/sendmail")))
        GTEST_SKIP() << "this machine has a mail service";
    const QByteArray ruta = qgetenv("PATH");
    qputenv("PATH", dir.path().toUtf8());
    Captura& f = Forma();
    f.dfRFC->setDatoTxt(QStringLiteral("ABC"));
    f.dfRFC->setFocus();
    QApplication::processEvents();
    inicia->ventana()->Accion(QStringLiteral("mnuAyuComent"))->trigger();
    DlgMail* correo = inicia->ventana()->findChild<DlgMail*>();
    ASSERT_NE(correo, nullptr);
    QApplication::setActiveWindow(correo);
    correo->TxtMsg->setFocus();
    correo->TxtMsg->insertPlainText(QStringLiteral("No encuentro mi país"));
    vistas.clear();
    conFoco = false;
    QTest::mouseClick(correo->cmdSendMail, Qt::LeftButton);
    QApplication::processEvents();
    qputenv("PATH", ruta);
    ASSERT_EQ(vistas.size(), 1) << vistas.join(" | ").toStdString();
    EXPECT_TRUE(vistas[0].startsWith(QStringLiteral("No se pudo enviar su mensaje"))) << vistas[0].toStdString();
    EXPECT_TRUE(conFoco);
    EXPECT_TRUE(correo->isVisible());
    EXPECT_EQ(correo->TxtMsg->toPlainText(), QStringLiteral("No encuentro mi país"));
    EXPECT_EQ(f.dfRFC->Text(), QStringLiteral("ABC"));
    correo->close();
}

TEST_F(CajasReales, TrasElAvisoDeUnaCeldaElTecladoSigueEnLaRejilla) {
    Captura& f = Forma();
    f.dfRFC->setDatoTxt(QStringLiteral("PEGJ800101AB1"));
    const struct {
        RejillaLigada* rejilla;
        int pagina;
        int columna;
        const char* tecleado;
        const char* aviso;
    } casos[] = {
        {f.dbProducto, 2, 3, "1234567", "La longitud de la fracción"},
        {f.dbProducto, 2, 7, "ABC", "Debes ingresar números"},
        {f.DBGPais, 4, 2, "1", "La clave del país debe ser de 2 dígitos"},
    };
    for (const auto& k : casos) {
        f.SSTab1->setCurrentIndex(k.pagina);
        QApplication::processEvents();
        k.rejilla->setFocus();
        k.rejilla->IrA(0, k.columna);
        QTest::qWait(20);
        vistas.clear();
        conFoco = false;
        for (const char c : std::string(k.tecleado)) QTest::keyClick(QApplication::focusWidget(), c);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        (void)QTest::qWaitFor([&] { return !vistas.isEmpty(); }, 3000);
        Activa();
        ASSERT_FALSE(vistas.isEmpty()) << k.aviso;
        EXPECT_TRUE(vistas[0].startsWith(QString::fromUtf8(k.aviso))) << vistas[0].toStdString();
        EXPECT_TRUE(conFoco) << k.aviso << ": the box must have taken the focus for this test to mean anything";
        QWidget* foco = QApplication::focusWidget();
        EXPECT_TRUE(foco == k.rejilla || k.rejilla->isAncestorOf(foco))
            << k.aviso << ": the focus is on " << (foco ? qPrintable(foco->objectName()) : "nothing");
        EXPECT_EQ(k.rejilla->currentIndex().column(), k.columna) << k.aviso << ": on the checked cell";
        // The next keys go to the grid, never to the RFC.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("zz"));
        EXPECT_EQ(f.dfRFC->Text(), QStringLiteral("PEGJ800101AB1")) << k.aviso;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QApplication::processEvents();
    }
}

// From the keyboard only, on a real desktop: the medium chosen in its window, the request delivered
// to it, a copy saved and opened again from the list of saved requests.
TEST_F(CajasReales, DesdeElTecladoSeEligeElMedioSeEntregaYSeAbreUnaCopia) {
    QTemporaryDir medio, copias;
    medios->volumenes = {{medio.path(), QStringLiteral("MEMORIA"), 1'000'000'000, true, true}};
    inicia->ventana()->intercambio()->raiz = copias.path();
    inicia->estado().sUnidadA = QDir(medio.path()).filePath(QStringLiteral("no-conectada"));
    contesta = [](QMessageBox* caja) { caja->defaultButton()->click(); };
    LlenaSolicitud(Forma());
    ASSERT_TRUE(Forma().GuardaInformacion());
    Activa();
    // Every window of the program's own that opens takes Enter, once it holds the focus.
    QSet<QWidget*> vistos;
    QTimer teclas;
    QObject::connect(&teclas, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || qobject_cast<QMessageBox*>(w) || vistos.contains(w) || !w->isAncestorOf(QApplication::focusWidget())) return;
        vistos << w;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    teclas.start(20);
    auto menu = [this](char tecla) {
        QTest::keyClick(inicia->ventana(), Qt::Key_S, Qt::AltModifier);
        ASSERT_TRUE(QTest::qWaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; }, 2000));
        QTest::keyClick(QApplication::activePopupWidget(), tecla);
    };
    auto teclea = [this](const QKeySequence& atajo) { QTest::keySequence(inicia->ventana(), atajo); };

    menu('u');  // "Unidad de entrega...": the stick is listed; Enter takes it
    EXPECT_EQ(QDir::cleanPath(inicia->estado().sUnidadA), QDir::cleanPath(medio.path()));
    EXPECT_EQ(QDir::cleanPath(medios->Recordada()), QDir::cleanPath(medio.path()));
    Activa();
    vistas.clear();
    teclea(QKeySequence(Qt::CTRL | Qt::Key_D));  // "Genera Disco"
    Activa();
    ASSERT_EQ(vistas.size(), 2) << vistas.join(" | ").toStdString();
    EXPECT_EQ(vistas[1], QStringLiteral("Se ha guardado la información correctamente en la unidad A:"));
    for (const auto& t : tablas::TablasDeSolicitud())
        EXPECT_EQ(LeeBytes(QDir(medio.path()).filePath(t.archivo)), LeeBytes(dir.filePath(t.archivo))) << t.archivo.toStdString();

    menu('g');  // "Guardar copia de la solicitud...": the proposed folder, taken with Enter
    Activa();
    ASSERT_EQ(CarpetasDeSolicitudes(copias.path()).size(), 1) << vistas.join(" | ").toStdString();
    const QString copia = CarpetasDeSolicitudes(copias.path()).front();
    const QByteArray guardada = LeeBytes(dir.filePath(tablas::kLorums));
    Forma().TxtMlJust->setDatoTxt(QStringLiteral("OTRA"));
    ASSERT_TRUE(Forma().GuardaInformacion());
    Activa();
    teclea(QKeySequence(Qt::CTRL | Qt::Key_O));  // "Abrir solicitud guardada...": Enter opens the one listed
    Activa();
    EXPECT_EQ(LeeBytes(dir.filePath(tablas::kLorums)), guardada);
    EXPECT_EQ(Forma().TxtMlJust->Text(), QStringLiteral("MEJORA GENÉTICA"));
    EXPECT_EQ(vistos.size(), 3) << "the medium, the copy's folder and the list of requests";
    EXPECT_TRUE(QFileInfo(copia).isDir());
}
