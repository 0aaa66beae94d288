#include "ControlChk.h"
#include "ControlesCatalogo.h"
#include "ControlesTexto.h"
#include "EstadoInicia.h"
#include "MensajesGuionados.h"
#include "ServiciosCampos.h"

#include <QLineEdit>

using namespace lorum;
using namespace lorum::prueba;

namespace {

// A small form: three required text fields, a multi-line one, a check, a list and a plain box.
struct Forma {
    QWidget w;
    MensajesGuionados mensajes;
    EstadoInicia estado;
    std::vector<QWidget*> controles;
    ControldfTxt* calle = agrega<ControldfTxt>("TxtCalle");
    ControldfTxt* cp = agrega<ControldfTxt>("TxtCP");
    ControlTxtMl* just = agrega<ControlTxtMl>("TxtMlJust");
    ControlChk* otr = agrega<ControlChk>("ChkOtr");
    ControlLst* lista = agrega<ControlLst>("LstPais");
    ControldfTxt* sinNombre = agrega<ControldfTxt>("TxtSinNombre");
    QLineEdit* texto1 = agrega<QLineEdit>("Text1");

    template <typename T>
    T* agrega(const char* nombre) {
        auto* c = new T(&w);
        c->setObjectName(QLatin1String(nombre));
        controles.push_back(c);
        return c;
    }
    Forma() {
        estado.mensajes = &mensajes;
        texto1->setProperty("lorumTipo", QStringLiteral("TextBox"));
        auto requerido = [](ControldfTxt* c, const char* nombre, int maximo) {
            QObject::connect(c, &ControlCampo::CreadoEvento, c, [c, nombre, maximo] {
                c->NombreCampo = QString::fromUtf8(nombre);
                c->bAceptaNulos = false;
                c->nMaxLen = qint16(maximo);
            });
        };
        requerido(calle, "Calle", 254);
        requerido(cp, "Código Postal", 5);
        QObject::connect(just, &ControlCampo::CreadoEvento, just, [this] {
            just->NombreCampo = QStringLiteral("Justificación");
            just->bAceptaNulos = false;
            just->nMaxLen = 254;
        });
        QObject::connect(sinNombre, &ControlCampo::CreadoEvento, sinNombre, [this] { sinNombre->bAceptaNulos = false; });
        PreparaCampos(estado, controles);
    }
};

}  // namespace

TEST(ServiciosCampos, PreparaNombraLimitaYDaNombresAccesibles) {
    Forma f;
    EXPECT_EQ(f.estado.colCampos.size(), 6u);  // the plain box is not a field
    EXPECT_EQ(f.estado.colCampos.front(), f.calle);
    EXPECT_EQ(f.sinNombre->NombreCampo, QStringLiteral("TxtSinNombre"));
    EXPECT_EQ(f.cp->dfTxt->maxLength(), 5);
    EXPECT_EQ(f.just->dfTxtMl->maxLength, 0) << "a multi-line field gets no maximum from nMaxLen";
    EXPECT_EQ(f.cp->accessibleName(), QStringLiteral("Código Postal"));
    EXPECT_EQ(f.cp->dfTxt->accessibleName(), QStringLiteral("Código Postal"));
    EXPECT_EQ(f.otr->accessibleName(), QStringLiteral("ChkOtr"));
}

TEST(ServiciosCampos, VerificaListaLoQueFaltaEnUnSoloMensaje) {
    Forma f;
    f.mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
    f.cp->setDatoTxt(QStringLiteral("06700"));
    EXPECT_FALSE(VerificaCampos(f.estado));
    ASSERT_EQ(f.mensajes.mostrados.size(), 1u);
    const auto& m = f.mensajes.mostrados[0];
    EXPECT_EQ(m.texto, QStringLiteral("La siguiente información es requerida: Calle,\rJustificación,\rTxtSinNombre\r\r"));
    EXPECT_EQ(m.titulo, QStringLiteral("Dato requerido"));
    EXPECT_EQ(m.icono, ServicioMensajes::Icono::Informacion);
    EXPECT_EQ(f.estado.sFaltantes, QStringLiteral("Calle,\rJustificación,\rTxtSinNombre"));

    f.calle->setDatoTxt(QStringLiteral("REFORMA 1"));
    f.just->setDatoTxt(QStringLiteral("PORQUE SÍ"));
    f.sinNombre->setDatoTxt(QStringLiteral(" "));
    EXPECT_TRUE(VerificaCampos(f.estado));
    EXPECT_EQ(f.estado.sFaltantes, QString());
    EXPECT_EQ(f.mensajes.mostrados.size(), 1u);
}

TEST(ServiciosCampos, LimpiaTodoMenosLasListas) {
    Forma f;
    f.calle->setDatoTxt(QStringLiteral("REFORMA"));
    f.just->setDatoTxt(QStringLiteral("TEXTO"));
    f.otr->setValor(QStringLiteral("S"));
    f.texto1->setText(QStringLiteral("12.5"));
    f.lista->LstData->addItem(QStringLiteral("MÉXICO"));
    f.lista->LstData->setCurrentRow(0);
    f.estado.sFaltantes = QStringLiteral("Calle");
    LimpiaCampos(f.estado, f.controles);
    EXPECT_EQ(f.calle->Text(), QString());
    EXPECT_EQ(f.just->Text(), QString());
    EXPECT_EQ(f.otr->ValorChk().toString(), QStringLiteral("N"));
    EXPECT_EQ(f.texto1->text(), QString());
    EXPECT_EQ(f.lista->LstData->currentRow(), 0);
    EXPECT_EQ(f.estado.sFaltantes, QString());
}
