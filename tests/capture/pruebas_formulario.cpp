#include "ArranquePrueba.h"
#include "Auxiliares.h"
#include "Bienvenida.h"
#include "ControlChk.h"
#include "ControlesCatalogo.h"
#include "ControlesTexto.h"
#include "EstadoInicia.h"
#include "GuardiaFoco.h"
#include "ReglasCaptura.h"
#include "RejillaLigada.h"
#include "ServiciosCampos.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QFile>
#include <QLineEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

using namespace lorum;
using namespace lorum::prueba;

namespace {

using R = ServicioMensajes::Respuesta;

class Formulario : public FormaLista {
protected:
    ControlCampo* ConFoco() { return GuardiaFoco::CampoDe(QApplication::focusWidget()); }
    void Sal(ControlCampo* campo) {
        campo->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QApplication::processEvents();
    }
};

}  // namespace

TEST_F(Formulario, ElRfcSeTecleaPorPosicionYSeVerificaAlSalir) {
    Captura& f = Forma();
    f.dfRFC->setDatoTxt(QString());
    f.dfRFC->setFocus();
    QTest::keyClicks(f.dfRFC->dfTxt, QStringLiteral("1abcd01x0229xy1"));
    EXPECT_EQ(f.dfRFC->Text(), QStringLiteral("ABCD010229XY1"));

    mensajes.Responde(R::Aceptar);
    QTest::keyClick(f.dfRFC->dfTxt, Qt::Key_Tab);
    EXPECT_EQ(ConFoco(), f.dfRFC) << "a refused RFC keeps the focus";
    EXPECT_EQ(mensajes.Textos(), QStringList{QStringLiteral("El mes que ha escrito no tiene más de 28 días.")});

    // A legal person: a leading blank; surname and names are emptied, released and disabled.
    f.CtrdfTxtMat->setDatoTxt(QStringLiteral("PÉREZ"));
    f.dfRFC->setDatoTxt(QString());
    QTest::keyClicks(f.dfRFC->dfTxt, QStringLiteral(" abc010430xy1"));
    QTest::keyClick(f.dfRFC->dfTxt, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(ConFoco(), f.CtrdfTxtRSPat);
    EXPECT_EQ(f.CtrdfTxtMat->Text(), QString());
    EXPECT_FALSE(f.CtrdfTxtMat->isEnabled());
    EXPECT_TRUE(f.CtrdfTxtNom->bAceptaNulos);

    // A natural person again: enabled and required.
    f.dfRFC->setDatoTxt(QStringLiteral("ABCD000229XY1"));
    Sal(f.dfRFC);
    EXPECT_TRUE(f.CtrdfTxtMat->isEnabled());
    EXPECT_FALSE(f.CtrdfTxtNom->bAceptaNulos);
    EXPECT_EQ(mensajes.mostrados.size(), 1u);
}

TEST_F(Formulario, UnDigitoVerificadorQueNoCoincideSoloAvisa) {
    Captura& f = Forma();
    QLineEdit* caja = f.dfRFC->dfTxt;
    const QString descripcion = caja->accessibleDescription();
    f.dfRFC->setDatoTxt(QStringLiteral("GODE561231GR9"));
    Sal(f.dfRFC);
    EXPECT_TRUE(mensajes.mostrados.empty()) << "no message box";
    EXPECT_EQ(ConFoco(), f.CtrdfTxtRSPat) << "the focus moves on";
    EXPECT_EQ(f.StatusBar1->currentMessage(), reglas::kAvisoDigitoRfc) << "over the next field's hint";
    EXPECT_EQ(caja->accessibleDescription(), reglas::kAvisoDigitoRfc);
    EXPECT_TRUE(f.dfRFC->aviso());
    EXPECT_NE(caja->palette().color(QPalette::Base), QColor(Qt::white));
    // Until the RFC changes.
    f.dfRFC->setFocus();
    QTest::keyClick(caja, Qt::Key_Backspace);
    EXPECT_EQ(caja->accessibleDescription(), descripcion);
    EXPECT_FALSE(f.dfRFC->aviso());
    EXPECT_NE(f.StatusBar1->currentMessage(), reglas::kAvisoDigitoRfc);
    // A matching digit, and a special RFC whose digit does not match: no warning.
    for (const char* rfc : {"GODE561231GR8", "XAXX010101000"}) {
        mensajes.Responde(R::Aceptar);
        f.dfRFC->setDatoTxt(QString::fromLatin1(rfc));
        Sal(f.dfRFC);
        EXPECT_NE(f.StatusBar1->currentMessage(), reglas::kAvisoDigitoRfc) << rfc;
        EXPECT_FALSE(f.dfRFC->aviso()) << rfc;
    }
}

TEST_F(Formulario, UnRfcEspecialLoAvisaYPasaAlTramite) {
    Captura& f = Forma();
    f.dfRFC->setDatoTxt(QStringLiteral("XAXX010101000"));
    mensajes.Responde(R::Aceptar);
    Sal(f.dfRFC);
    ASSERT_EQ(mensajes.mostrados.size(), 1u);
    EXPECT_EQ(mensajes.mostrados[0].texto, QStringLiteral("RFC especial"));
    EXPECT_EQ(mensajes.mostrados[0].titulo, QStringLiteral("Información"));
    EXPECT_EQ(ConFoco(), f.cmbTramite);

    // A quote in the RFC is only data in the look-up: no match, no message, no error.
    f.dfRFC->setDatoTxt(QStringLiteral("XAXX01010100'"));
    Sal(f.dfRFC);
    EXPECT_EQ(mensajes.mostrados.size(), 1u);
    EXPECT_EQ(ConFoco(), f.CtrdfTxtRSPat);

    // A missing, damaged or doubled catalog ends the look-up with the engine's message; the program
    // goes on and the focus moves on.
    const QString catalogo = dir.filePath(QStringLiteral("CATRFCES.dbf"));
    const QByteArray bytes = LeeBytes(catalogo);
    const struct {
        const char* caso;
        std::function<void()> dana;
        const char* dice;
    } casos[] = {
        {"falta", [&] { QFile::remove(catalogo); }, "CATRFCES"},
        {"dañado", [&] { EscribeBytes(catalogo, QByteArray(6, '\x03')); }, "CATRFCES.dbf"},
        {"dos veces", [&] { EscribeBytes(dir.filePath(QStringLiteral("catrfces.DBF")), bytes); }, "solo difieren en mayúsculas"},
    };
    for (const auto& k : casos) {
        if (!kPosix && &k == &casos[2]) continue;  // on Windows both spellings are one file
        QFile::remove(dir.filePath(QStringLiteral("catrfces.DBF")));
        EscribeBytes(catalogo, bytes);
        k.dana();
        mensajes.mostrados.clear();
        mensajes.Responde(R::Aceptar);
        f.dfRFC->setDatoTxt(QStringLiteral("XAXX010101000"));
        Sal(f.dfRFC);
        ASSERT_EQ(mensajes.mostrados.size(), 1u) << k.caso;
        EXPECT_TRUE(mensajes.mostrados[0].texto.contains(QString::fromUtf8(k.dice))) << k.caso << ": " << mensajes.mostrados[0].texto.toStdString();
        EXPECT_EQ(ConFoco(), f.CtrdfTxtRSPat) << k.caso;
    }
}

TEST_F(Formulario, TramiteYDestinoNoPermitidosRetienenElFoco) {
    Captura& f = Forma();
    Elige(f.cmbTramite, QStringLiteral("3"));  // MODIFICACIÓN DE PERMISO PREVIO DE IMPORTACIÓN
    mensajes.Responde(R::Aceptar);
    Sal(f.cmbTramite);
    EXPECT_EQ(ConFoco(), f.cmbTramite);
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("Este opción aún no está disponible."));
    EXPECT_EQ(mensajes.mostrados.back().titulo, QStringLiteral("AVISO"));
    EXPECT_EQ(mensajes.mostrados.back().icono, ServicioMensajes::Icono::Exclamacion);
    Elige(f.cmbTramite, QStringLiteral("1"));
    Sal(f.cmbTramite);
    EXPECT_EQ(ConFoco(), f.cmbRegimen);

    Elige(f.cmbRegimen, QStringLiteral("1"));  // IMPORTACIÓN DEFINITIVA
    Elige(f.cmbDestino, QStringLiteral("4"));  // EXPORTACIÓN AL EXTRANJERO
    mensajes.Responde(R::Aceptar);
    Sal(f.cmbDestino);
    EXPECT_EQ(ConFoco(), f.cmbDestino);
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("Este destino no corresponde al regimen aduanal que eligío."));
    EXPECT_EQ(mensajes.mostrados.back().titulo, QStringLiteral("Destino incorrecto"));
    Elige(f.cmbRegimen, QStringLiteral("3"));  // EXPORTACIÓN DEFINITIVA: accepted
    Sal(f.cmbDestino);
    EXPECT_NE(ConFoco(), f.cmbDestino);
    EXPECT_EQ(mensajes.mostrados.size(), 2u);
}

TEST_F(Formulario, FiltrosDeTeclasEnLosCampos) {
    Captura& f = Forma();
    const struct {
        ControldfTxt* campo;
        const char* tecleado;
        const char* queda;
    } casos[] = {
        {f.TxtCP, "06a7-00", "06700"},        {f.TxtTelefono, "55 1234", "551234"}, {f.TxtRep_Tel, "5x5", "55"},
        {f.TxtFax, "55.12,3", "55.123"},      {f.TxtRecif, "12a3456", "123456"},    {f.TxtFraccion, "0101x1001", "01011001"},
        {f.TxtCalle, "reforma 1", "REFORMA 1"},
    };
    for (const auto& c : casos) {
        c.campo->setFocus();
        c.campo->setDatoTxt(QString());
        QTest::keyClicks(c.campo->dfTxt, QString::fromLatin1(c.tecleado));
        EXPECT_EQ(c.campo->Text(), QString::fromLatin1(c.queda)) << c.campo->objectName().toStdString();
    }
    f.TxtCP->setFocus();
    f.TxtCP->dfTxt->end(false);
    QTest::keyClick(f.TxtCP->dfTxt, Qt::Key_Backspace);
    EXPECT_EQ(f.TxtCP->Text(), QStringLiteral("0670"));
    f.TxtFraccion->setFocus();
    f.TxtFraccion->dfTxt->end(false);
    QTest::keyClick(f.TxtFraccion->dfTxt, Qt::Key_Backspace);
    EXPECT_EQ(f.TxtFraccion->Text(), QStringLiteral("01011001")) << "Backspace is discarded in the fraction";
}

TEST_F(Formulario, OtrosGobiernaEspecificaYLosTextosLargosAvisan) {
    Captura& f = Forma();
    f.ChkOtr->setValor(QStringLiteral("S"));
    EXPECT_TRUE(f.TxtEspecifica->isEnabled());
    EXPECT_FALSE(f.TxtEspecifica->bAceptaNulos);
    EXPECT_EQ(f.TxtEspecifica->VerificaDato(), QStringLiteral("Anexos de la Solicitud"));
    f.TxtEspecifica->setDatoTxt(QStringLiteral("FACTURA"));
    f.ChkOtr->Limpia();
    EXPECT_FALSE(f.TxtEspecifica->isEnabled());
    EXPECT_TRUE(f.TxtEspecifica->bAceptaNulos);
    EXPECT_EQ(f.TxtEspecifica->Text(), QString());

    // Ninguno and Planos together are accepted; no annex box touches another.
    f.ChkNin->setValor(QStringLiteral("S"));
    f.ChkPla->setValor(QStringLiteral("S"));
    EXPECT_EQ(f.ChkNin->ValorChk().toString(), QStringLiteral("S"));

    f.TxtMlDMercancias->setDatoTxt(QString(254, u'A'));
    Sal(f.TxtMlDMercancias);
    EXPECT_TRUE(mensajes.mostrados.empty());
    f.TxtMlDMercancias->setDatoTxt(QString(255, u'A'));
    mensajes.Responde(R::Aceptar);
    Sal(f.TxtMlDMercancias);
    ASSERT_EQ(mensajes.mostrados.size(), 1u);
    EXPECT_TRUE(mensajes.mostrados[0].texto.startsWith(QStringLiteral("En el campo de Descripción de la mercancia")));
    EXPECT_NE(ConFoco(), f.TxtMlDMercancias) << "the warning lets the focus go";
}

TEST_F(Formulario, SalirDelTelefonoDelRepresentantePasaAMercancia) {
    Captura& f = Forma();
    f.SSTab1->setCurrentIndex(1);
    QApplication::processEvents();
    f.TxtRep_Tel->setFocus();
    QTest::keyClick(f.TxtRep_Tel->dfTxt, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(f.SSTab1->currentIndex(), 2);
    EXPECT_EQ(ConFoco(), f.cmbUM);

    // Left with the mouse for a field of the header: the page turns, the focus stays in the field
    // clicked, and what is typed next goes there.
    f.SSTab1->setCurrentIndex(1);
    QApplication::processEvents();
    f.TxtRep_Tel->setFocus();
    QApplication::processEvents();
    f.TxtFraccion->setDatoTxt(QString());
    QTest::mouseClick(f.TxtFraccion->dfTxt, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(f.SSTab1->currentIndex(), 2);
    EXPECT_EQ(ConFoco(), f.TxtFraccion);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("0101"));
    EXPECT_EQ(f.TxtFraccion->Text(), QStringLiteral("0101"));
}

TEST_F(Formulario, TeclasDeAccesoYPaginasDesdeElTeclado) {
    Captura& f = Forma();
    // The captions' access keys reach their fields.
    const struct {
        Qt::Key tecla;
        ControlCampo* campo;
    } accesos[] = {{Qt::Key_R, f.dfRFC}, {Qt::Key_Z, f.CtrdfTxtRSPat}, {Qt::Key_M, f.cmbTramite}, {Qt::Key_F, f.TxtFraccion}};
    for (const auto& k : accesos) {
        f.TxtCalle->setFocus();
        QApplication::processEvents();
        QTest::keyClick(QApplication::focusWidget(), k.tecla, Qt::AltModifier);
        QApplication::processEvents();
        EXPECT_EQ(ConFoco(), k.campo) << k.campo->objectName().toStdString();
    }
    // Alt with a letter that is no access key types nothing.
    f.TxtCalle->setDatoTxt(QString());
    f.TxtCalle->setFocus();
    QTest::keyClick(f.TxtCalle->dfTxt, Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(f.TxtCalle->Text(), QString());
    // Ctrl+Tab and Ctrl+Shift+Tab turn the pages from the header too.
    f.SSTab1->setCurrentIndex(0);
    f.dfRFC->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(f.SSTab1->currentIndex(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(f.SSTab1->currentIndex(), 7);
}

TEST_F(Formulario, TrasLaListaDeFaltantesElFocoVaAlPrimero) {
    Captura& f = Forma();
    LlenaSolicitud(f);
    f.TxtMlJust->setDatoTxt(QString());
    f.TxtRep_Cargo->setDatoTxt(QString());  // the first missing one in form order, on "Representante"
    f.SSTab1->setCurrentIndex(5);
    QApplication::processEvents();
    f.TxtMlActividad->setFocus();
    mensajes.Responde(R::Aceptar);
    Ventana().Accion(QStringLiteral("mnuFuncGuardar"))->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(mensajes.mostrados.back().texto.startsWith(QStringLiteral("La siguiente información es requerida: ")));
    EXPECT_EQ(ConFoco(), f.TxtRep_Cargo);
    EXPECT_EQ(f.SSTab1->currentIndex(), 1);
}

TEST_F(Formulario, LetrasRepetidasYF10) {
    Captura& f = Forma();
    // A letter the design gives twice ("&Ayuda" and "M&aterno", "&Fracción" and "&Función"): repeated
    // presses go round the targets, the field among them.
    for (const auto& [tecla, campo] : {std::pair{Qt::Key_A, static_cast<ControlCampo*>(f.CtrdfTxtMat)},
                                       {Qt::Key_N, f.CtrdfTxtNom}, {Qt::Key_G, f.cmbRegimen}}) {
        f.TxtCalle->setFocus();
        QApplication::processEvents();
        bool alcanzado = false;
        for (int vez = 0; vez < 3 && !alcanzado; ++vez) {
            if (QWidget* menu = QApplication::activePopupWidget()) menu->close();
            QTest::keyClick(QApplication::focusWidget(), tecla, Qt::AltModifier);
            QApplication::processEvents();
            alcanzado = ConFoco() == campo;
        }
        EXPECT_TRUE(alcanzado) << campo->objectName().toStdString();
    }
    if (QWidget* menu = QApplication::activePopupWidget()) menu->close();
    // F10 opens the menu bar.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
    EXPECT_NE(Ventana().menuBar()->activeAction(), nullptr);
}
