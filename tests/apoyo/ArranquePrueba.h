#pragma once

#include "Bienvenida.h"
#include "Captura.h"
#include "ControlChk.h"
#include "ControlIntercambio.h"
#include "ControlesCatalogo.h"
#include "ControlesTexto.h"
#include "GeneradorDatos.h"
#include "Inicia.h"
#include "MDICaptura.h"
#include "MensajesGuionados.h"
#include "OrigenDatos.h"
#include "ServicioSonido.h"

#include <QApplication>
#include <QLineEdit>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace lorum::prueba {

// The removable media the tests say are mounted.
class MediosFalsos : public MediosDeEntrega {
public:
    using MediosDeEntrega::MediosDeEntrega;
    std::vector<Volumen> Volumenes() const override { return volumenes; }
    std::vector<Volumen> volumenes;
};

class SonidoFalso : public ServicioSonido {
public:
    void Reproduce(const QString& ruta) override { rutas << ruta; }
    QStringList rutas;
};

// A data directory laid out as the build lays it out, and a start-up run on it.
class Arranque : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), dir.path());
    }
    // Starts the program; loading a placeholder applicant shows the RFC check's message once, and
    // the script answers it.
    bool Arranca() {
        if (EsperaAvisoRfc()) mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
        inicia = std::make_unique<Inicia>(mensajes, sonido);
        if (!inicia->Main(dir.path())) return false;
        SinVentanasDeUnidad();
        return true;
    }
    // A command that finds no drive opens the medium chooser: here it is cancelled, as a person who
    // has no other medium would, unless a test chooses.
    void SinVentanasDeUnidad() {
        Ventana().intercambio()->MuestraUnidades = [](const std::vector<MedioExtraible>&, const QString&) { return QString(); };
    }
    bool EsperaAvisoRfc() {
        Cursor c = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.5;"), QStringLiteral("empresas"));
        if (c.RecordCount() == 0) return true;
        c.MoveLast();
        const QString rfc = c.Valor(u"RFC").toString();
        return !rfc.trimmed().isEmpty() && rfc.size() < 13;
    }
    MDICaptura& Ventana() { return *inicia->ventana(); }
    // The keyboard to the main window: the offscreen platform would let the welcome window keep it.
    void PrestaTeclado() {
        inicia->bienvenida()->hide();
        QApplication::processEvents();
        QApplication::setActiveWindow(&Ventana());
        QApplication::processEvents();
    }
    Captura& Forma() { return *inicia->ventana()->captura(); }

    QTemporaryDir dir;
    MensajesGuionados mensajes;
    SonidoFalso sonido;
    std::unique_ptr<Inicia> inicia;
};

// A started program with the keyboard on its window and a valid RFC on screen, past the placeholder.
class FormaLista : public Arranque {
protected:
    void SetUp() override {
        Arranque::SetUp();
        ASSERT_TRUE(Arranca());
        mensajes.mostrados.clear();
        PrestaTeclado();
        Forma().dfRFC->setDatoTxt(QStringLiteral("PEGJ800101AB1"));
    }
};

inline void Elige(ControlCmb* cmb, const QVariant& llave) {
    cmb->setDatoTxt(llave);
    cmb->EligeCampo();
}

// A complete request, every field filled as a person would fill it.
inline void LlenaSolicitud(Captura& f, const QString& rfc = QStringLiteral("PEGJ800101AB1")) {
    f.dfRFC->setDatoTxt(rfc);
    const std::pair<ControldfTxt*, const char*> textos[] = {
        {f.CtrdfTxtRSPat, "PEÑA"},      {f.CtrdfTxtMat, "GÓMEZ"},      {f.CtrdfTxtNom, "JOSÉ"},
        {f.TxtCalle, "REFORMA 100"},    {f.TxtCP, "06600"},            {f.TxtColonia, "JUÁREZ"},
        {f.TxtDelMun, "CUAUHTÉMOC"},    {f.TxtTelefono, "5512345678"}, {f.TxtFax, "5512.3"},
        {f.TxtAcredita, "AC-1"},        {f.TxtRep_Nom, "ANA"},         {f.TxtRep_AP, "LÓPEZ"},
        {f.TxtRep_AM, "RUIZ"},          {f.TxtRep_Cargo, "DIRECTORA"}, {f.TxtRep_Tel, "5587654321"},
        {f.TxtFraccion, "01011001"},    {f.TxtRecif, "123456"},        {f.TxtEspecifica, "FACTURAS"},
    };
    for (const auto& [campo, texto] : textos) campo->setDatoTxt(QString::fromUtf8(texto));
    Elige(f.CmbEstado, 9);
    for (ControlCmb* cmb : {f.cmbTramite, f.cmbRegimen, f.cmbDestino}) Elige(cmb, 1);
    Elige(f.cmbUM, 6);
    f.ChkUsado->setValor(QStringLiteral("S"));
    f.Text1->setText(QStringLiteral("12.5"));
    f.Text2->setText(QStringLiteral("1234567.1234567"));
    f.TxtMlDMercancias->setDatoTxt(QStringLiteral("CABALLOS\r\nDE RAZA"));
    f.TxtMlActividad->setDatoTxt(QStringLiteral("GANADERÍA"));
    f.TxtMlUso->setDatoTxt(QStringLiteral("REPRODUCCIÓN"));
    f.TxtMlJust->setDatoTxt(QStringLiteral("MEJORA GENÉTICA"));
    f.ChkCat->setValor(QStringLiteral("S"));
    f.ChkOtr->setValor(QStringLiteral("S"));
}

}  // namespace lorum::prueba
