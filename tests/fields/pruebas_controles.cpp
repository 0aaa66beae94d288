#include "Accesibilidad.h"
#include "ControlChk.h"
#include "ControlesTexto.h"
#include "ErrorTabla.h"
#include "EstadoInicia.h"
#include "GuardiaFoco.h"
#include "MensajesGuionados.h"
#include "Resguardo.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QVBoxLayout>
#include <functional>

using namespace lorum;
using namespace lorum::prueba;

namespace {

// A window with two text fields, a check field and a status bar, watched by a focus guard.
struct Ventana {
    QWidget w;
    QStatusBar* barra = new QStatusBar(&w);
    ControldfTxt* uno = new ControldfTxt(&w);
    ControldfTxt* dos = new ControldfTxt(&w);
    ControlTxtMl* largo = new ControlTxtMl(&w);
    ControlChk* chk = new ControlChk(&w);
    GuardiaFoco guardia;

    Ventana() {
        auto* capa = new QVBoxLayout(&w);
        for (QWidget* c : std::initializer_list<QWidget*>{uno, dos, largo, chk, barra}) capa->addWidget(c);
        for (ControlCampo* c : std::initializer_list<ControlCampo*>{uno, dos, largo, chk}) c->PonBarraEstado(barra);
        uno->sTextoBarra = QStringLiteral("Digite el uno");
        dos->sTextoBarra = QStringLiteral("Digite el dos");
        w.show();
        QApplication::setActiveWindow(&w);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    }
};

QColor fondo(QWidget* w) { return w->palette().color(QPalette::Base); }

// Types a text key by key, letters outside ASCII included (QTest::keyClicks takes ASCII only).
void teclea(QWidget* w, const QString& texto) {
    for (QChar c : texto) {
        if (c.unicode() < 0x80) QTest::keyClick(w, char(c.unicode()));
        else QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

}  // namespace

TEST(Controles, LoTecleadoSeVuelveMayusculasYElAnfitrionPuedeRechazarlo) {
    Ventana v;
    v.uno->setFocus();
    teclea(v.uno->dfTxt, QStringLiteral("rfc ñandú"));
    EXPECT_EQ(v.uno->Text(), QStringLiteral("RFC ÑANDÚ"));

    QObject::connect(v.dos, &ControldfTxt::KeyPress1, [](int& k) {
        if (k >= '0' && k <= '9') k = 0;
    });
    v.dos->setFocus();
    QTest::keyClicks(v.dos->dfTxt, QStringLiteral("a1b2"));
    QTest::keyClick(v.dos->dfTxt, Qt::Key_Backspace);
    EXPECT_EQ(v.dos->Text(), QStringLiteral("A"));

    v.largo->setFocus();
    QTest::keyClicks(v.largo->dfTxtMl, QStringLiteral("uno"));
    QTest::keyClick(v.largo->dfTxtMl, Qt::Key_Return);
    QTest::keyClicks(v.largo->dfTxtMl, QStringLiteral("dos"));
    EXPECT_EQ(v.largo->Text(), QStringLiteral("UNO\r\nDOS"));  // lines joined by CR LF
    v.largo->setDatoTxt(QStringLiteral("minúsculas\r\nguardadas"));
    EXPECT_EQ(v.largo->Text(), QStringLiteral("minúsculas\r\nguardadas"));  // set text keeps its case
}

// Text that comes without a plain key press goes through the same upper-casing and host rule as
// typed keys: an accent composed with a dead key (an input method's commit), a paste, a drop, and
// AltGr characters, which arrive as Ctrl+Alt on Windows.
TEST(Controles, LoQueNoEsUnaTeclaPasaPorLasMismasReglas) {
    Ventana v;
    // "dos" takes digits only, as the postal code does.
    QObject::connect(v.dos, &ControldfTxt::KeyPress1, [](int& k) {
        if (k != 8 && (k < '0' || k > '9')) k = 0;
    });
    auto metodo = [](QWidget* w, const QString& t) {
        QInputMethodEvent e;
        e.setCommitString(t);
        QApplication::sendEvent(w, &e);
    };
    auto pega = [](QWidget* w, const QString& t) {
        QGuiApplication::clipboard()->setText(t);
        QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
    };
    auto suelta = [](QWidget* w, const QString& t) {
        QMimeData datos;
        datos.setText(t);
        QDragEnterEvent entra(QPoint(2, 2), Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &entra);
        QDropEvent e(QPointF(2, 2), Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    };
    auto altgr = [](QWidget* w, const QString& t) {
        for (QChar c : t) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::ControlModifier | Qt::AltModifier);
    };
    const struct {
        const char* que;
        std::function<void(QWidget*, const QString&)> como;
        int campo;  // 0 "uno", 1 "dos" (digits), 2 the long text
        const char* entra;
        const char* queda;
    } casos[] = {
        {"dead key é", metodo, 0, "é", "É"},
        {"dead key into digits", metodo, 1, "0é1", "01"},
        {"paste", pega, 0, "peña y cía", "PEÑA Y CÍA"},
        {"paste into digits", pega, 1, "06-600 b", "06600"},
        {"paste of lines into one line", pega, 0, "uno\r\ndos", "UNODOS"},
        {"paste into the long text", pega, 2, "línea\r\notra", "LÍNEA\r\nOTRA"},
        {"drop", suelta, 0, "añil", "AÑIL"},
        {"AltGr", altgr, 0, "ñ€", "Ñ€"},
        {"AltGr into digits", altgr, 1, "@1", "1"},
    };
    ControlTextoBase* campos[] = {v.uno, v.dos, v.largo};
    for (const auto& c : casos) {
        ControlTextoBase* campo = campos[c.campo];
        if (c.campo == 2) v.largo->setDatoTxt({});
        else static_cast<ControldfTxt*>(campo)->setDatoTxt({});
        campo->Interior()->setFocus();
        c.como(campo->Interior(), QString::fromUtf8(c.entra));
        EXPECT_EQ(campo->Text(), QString::fromUtf8(c.queda)) << c.que;
    }
}

TEST(Controles, ColoresDeFocoYAyudaEnLaBarra) {
    Ventana v;
    v.uno->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(fondo(v.uno->dfTxt), QColor(75, 139, 203));
    EXPECT_EQ(v.uno->dfTxt->palette().color(QPalette::Text), QColor(255, 255, 255));
    EXPECT_EQ(v.barra->currentMessage(), QStringLiteral("Digite el uno"));

    QTest::keyClick(v.uno->dfTxt, Qt::Key_Tab);
    EXPECT_TRUE(v.dos->dfTxt->hasFocus());
    EXPECT_EQ(fondo(v.uno->dfTxt), QColor(255, 255, 255));
    EXPECT_EQ(v.uno->dfTxt->palette().color(QPalette::Text), QColor(0, 0, 0));
    EXPECT_EQ(v.barra->currentMessage(), QStringLiteral("Digite el dos"));

    MarcaFocoDeBotones(&v.w);
    v.chk->sTextoBarra = QStringLiteral("Marque");
    v.chk->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(v.barra->currentMessage(), QString());  // a check field leaves the status line alone
    const QPalette antes = v.uno->palette();
    EXPECT_TRUE(v.chk->Check->autoFillBackground());
    EXPECT_EQ(v.chk->Check->palette().color(QPalette::Window), QColor(75, 139, 203));
    EXPECT_EQ(v.chk->Check->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    v.uno->setFocus();
    EXPECT_FALSE(v.chk->Check->autoFillBackground());
    EXPECT_EQ(v.chk->Check->palette().color(QPalette::WindowText), antes.color(QPalette::WindowText));
}

TEST(Controles, EntrarAlCampoSeleccionaTodoSuTexto) {
    Ventana v;
    v.dos->setDatoTxt(QStringLiteral("ABCD010101XY1"));
    v.uno->setFocus();
    QTest::keyClick(v.uno->dfTxt, Qt::Key_Tab);
    EXPECT_EQ(v.dos->dfTxt->selectedText(), QStringLiteral("ABCD010101XY1"));
    QTest::keyClicks(v.dos->dfTxt, QStringLiteral("z"));
    EXPECT_EQ(v.dos->Text(), QStringLiteral("Z"));
}

TEST(Controles, LaGuardiaRetieneElFocoYNoValidaDosVeces) {
    Ventana v;
    MensajesGuionados mensajes;
    int validaciones = 0;
    int perdidas = 0;
    QObject::connect(v.uno, &ControlCampo::Validar, [&](bool& cancelar) {
        ++validaciones;
        if (v.uno->Text() == QLatin1String("MAL")) {
            mensajes.Muestra(QStringLiteral("Dato incorrecto"), QStringLiteral("Dato requerido"),
                             ServicioMensajes::Botones::Aceptar, ServicioMensajes::Icono::Informacion);
            cancelar = true;
        }
    });
    QObject::connect(v.uno, &ControlCampo::LostFocus, [&] { ++perdidas; });

    v.uno->setFocus();
    QTest::keyClicks(v.uno->dfTxt, QStringLiteral("mal"));
    mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
    QTest::keyClick(v.uno->dfTxt, Qt::Key_Tab);
    EXPECT_TRUE(v.uno->dfTxt->hasFocus());
    EXPECT_EQ(validaciones, 1);
    EXPECT_EQ(perdidas, 0);  // a refused leave runs no lost-focus rules
    EXPECT_EQ(fondo(v.uno->dfTxt), QColor(75, 139, 203));

    v.uno->setDatoTxt(QStringLiteral("BIEN"));
    QTest::keyClick(v.uno->dfTxt, Qt::Key_Tab);
    EXPECT_TRUE(v.dos->dfTxt->hasFocus());
    EXPECT_EQ(validaciones, 2);
    EXPECT_EQ(perdidas, 1);
    EXPECT_EQ(mensajes.mostrados.size(), 1u);
}

TEST(Controles, UnErrorDelMotorEnUnaReglaSeAvisaYElProgramaSigue) {
    // Each kind of notification a rule runs from; the rule fails with the engine's error.
    Ventana v;
    MensajesGuionados mensajes;
    EstadoInicia estado;
    estado.mensajes = &mensajes;
    const ErrorTabla falla(QStringLiteral("Tabla «CATRFCES.dbf»: el archivo es demasiado corto para ser una tabla."));
    const struct {
        const char* cual;
        std::function<void(std::function<void()>)> conecta;
        std::function<void()> provoca;
    } casos[] = {
        {"Validar", [&](auto r) { ConectaRegla(estado, v.uno, &ControlCampo::Validar, &v.w, [r](bool&) { r(); }); },
         [&] { QTest::keyClick(v.uno->dfTxt, Qt::Key_Tab); }},
        {"LostFocus", [&](auto r) { ConectaRegla(estado, v.uno, &ControlCampo::LostFocus, &v.w, r); },
         [&] { QTest::keyClick(v.uno->dfTxt, Qt::Key_Tab); }},
        {"GotFocus", [&](auto r) { ConectaRegla(estado, v.dos, &ControlCampo::GotFocus, &v.w, r); },
         [&] { QTest::keyClick(v.uno->dfTxt, Qt::Key_Tab); }},
        {"KeyPress1", [&](auto r) { ConectaRegla(estado, v.uno, &ControldfTxt::KeyPress1, &v.w, [r](int&) { r(); }); },
         [&] { QTest::keyClick(v.uno->dfTxt, Qt::Key_A); }},
        {"Click", [&](auto r) { ConectaRegla(estado, v.chk, &ControlCampo::Click, &v.w, r); },
         [&] { v.chk->Check->click(); }},
        {"temporizador", [&](auto r) { Difiere(estado, &v.w, r); }, [] { QApplication::processEvents(); }},
    };
    for (const auto& k : casos) {
        v.uno->setFocus();
        QApplication::processEvents();
        bool fallo = false;
        k.conecta([&] {
            if (!std::exchange(fallo, true)) throw falla;
        });
        mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
        k.provoca();
        ASSERT_FALSE(mensajes.mostrados.empty()) << k.cual;
        EXPECT_EQ(mensajes.mostrados.back().texto, falla.mensaje()) << k.cual;
        EXPECT_EQ(mensajes.mostrados.back().icono, ServicioMensajes::Icono::Critico) << k.cual;
        mensajes.mostrados.clear();
        v.w.disconnect();
        for (QObject* o : std::initializer_list<QObject*>{v.uno, v.dos, v.chk}) QObject::disconnect(o, nullptr, &v.w, nullptr);
    }
    // The window goes on taking keys.
    v.uno->setDatoTxt(QString());
    v.uno->setFocus();
    QTest::keyClicks(v.uno->dfTxt, QStringLiteral("sigue"));
    EXPECT_EQ(v.uno->Text(), QStringLiteral("SIGUE"));
}

TEST(Controles, VerificaDatoLongitudYLimpieza) {
    Ventana v;
    v.uno->NombreCampo = QStringLiteral("Calle");
    v.uno->bAceptaNulos = false;
    EXPECT_EQ(v.uno->VerificaDato(), QStringLiteral("Calle"));
    v.uno->setDatoTxt(QStringLiteral("   "));
    EXPECT_EQ(v.uno->VerificaDato(), QString());  // blanks are content
    v.uno->bAceptaNulos = true;
    v.uno->setDatoTxt(QVariant());
    EXPECT_EQ(v.uno->VerificaDato(), QString());

    const QString largo(300, u'X');
    v.dos->setMaxLength(254);
    v.dos->setDatoTxt(largo);
    EXPECT_EQ(v.dos->Text().size(), 254);
    v.largo->setDatoTxt(largo);
    EXPECT_EQ(v.largo->Text().size(), 300);

    v.dos->bAceptaNulos = false;
    v.dos->setEnabled(false);
    v.dos->Limpia();
    EXPECT_EQ(v.dos->Text(), QString());
    EXPECT_FALSE(v.dos->isEnabled());
    EXPECT_FALSE(v.dos->bAceptaNulos);
}

TEST(Controles, ValoresDelCampoDeMarca) {
    Ventana v;
    int clics = 0;
    QObject::connect(v.chk, &ControlCampo::Click, [&] { ++clics; });
    const struct {
        QVariant valor;
        const char* esperado;
        int clicsTras;
    } casos[] = {
        {QStringLiteral("S"), "S", 1}, {QStringLiteral("N"), "N", 2}, {QVariant(), "N", 2},
        {QStringLiteral("X"), "S", 3}, {QStringLiteral("S"), "S", 3},
    };
    for (const auto& c : casos) {
        v.chk->setValor(c.valor);
        EXPECT_EQ(v.chk->ValorChk().toString(), QLatin1String(c.esperado)) << c.valor.toString().toStdString();
        EXPECT_EQ(clics, c.clicsTras) << "a change of state raises Click, no change raises none";
    }
    v.chk->Limpia();
    EXPECT_EQ(v.chk->ValorChk().toString(), QStringLiteral("N"));
    EXPECT_EQ(clics, 4);
    v.chk->bAceptaNulos = false;
    v.chk->NombreCampo = QStringLiteral("Otros");
    EXPECT_EQ(v.chk->VerificaDato(), QStringLiteral("Otros"));
    v.chk->setFocus();
    QTest::keyClick(v.chk->Check, Qt::Key_Space);
    EXPECT_EQ(v.chk->ValorChk().toString(), QStringLiteral("S"));
    EXPECT_EQ(clics, 5);
    EXPECT_EQ(v.chk->VerificaDato(), QString());
}
