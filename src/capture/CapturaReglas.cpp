// What the applicant, request, annex and long-text fields accept and check.
#include "Captura.h"

#include "ControlChk.h"
#include "ControlesCatalogo.h"
#include "ControlesTexto.h"
#include "EstadoInicia.h"
#include "ReglasCaptura.h"
#include "Resguardo.h"
#include "ServicioMensajes.h"

#include <QStatusBar>
#include <QTabWidget>

namespace lorum {

namespace {

using Icono = ServicioMensajes::Icono;

const QString kDatoRequerido = QStringLiteral("Dato requerido");

// The chosen entry's name (column 1), empty when nothing is chosen.
QString nombreElegido(const ControlCmb* cmb) {
    qint16 columna = 1;
    return cmb->GetStrLlave(columna);
}

}  // namespace

void Captura::Avisa(const QString& texto, const QString& titulo, int icono) const {
    if (estado_.mensajes)
        estado_.mensajes->Muestra(texto, titulo, ServicioMensajes::Botones::Aceptar, static_cast<Icono>(icono));
}

void Captura::ConectaReglas() {
    // Key filters: the field has already upper-cased the key.
    for (ControldfTxt* campo : {TxtCP, TxtTelefono, TxtRep_Tel})
        ConectaRegla(estado_, campo, &ControldfTxt::KeyPress1, this, [](int& k) { k = reglas::SoloDigitos(k); });
    ConectaRegla(estado_, TxtFax, &ControldfTxt::KeyPress1, this, [](int& k) { k = reglas::DigitosYPunto(k); });
    ConectaRegla(estado_, TxtRecif, &ControldfTxt::KeyPress1, this, [this](int& k) { k = reglas::Recif(k, int(TxtRecif->Text().size())); });
    ConectaRegla(estado_, dfRFC, &ControldfTxt::KeyPress1, this, [this](int& k) { k = reglas::Rfc(k, int(dfRFC->Text().size())); });
    ConectaRegla(estado_, TxtFraccion, &ControldfTxt::KeyPress1, this, [](int& k) { k = reglas::Fraccion(k); });

    ConectaRegla(estado_, dfRFC, &ControlCampo::Validar, this, [this](bool& cancelar) { VerificaRfcAlSalir(&cancelar); });
    ConectaRegla(estado_, dfRFC, &ControlCampo::LostFocus, this, [this] {
        if (!BuscaRfcEspecial()) RevisaDigitoRfc();
    });
    // The warning lasts until the RFC changes.
    connect(dfRFC->dfTxt, &QLineEdit::textChanged, this, [this] {
        if (avisoRfc_) PonAvisoRfc(false);
    });

    ConectaRegla(estado_, cmbTramite, &ControlCampo::Validar, this, [this](bool& cancelar) {
        if (!reglas::TramiteNoDisponible(nombreElegido(cmbTramite))) return;
        Avisa(QStringLiteral("Este opción aún no está disponible."), QStringLiteral("AVISO"), int(Icono::Exclamacion));
        cancelar = true;
    });
    ConectaRegla(estado_, cmbDestino, &ControlCampo::Validar, this, [this](bool& cancelar) {
        if (!reglas::DestinoIncorrecto(nombreElegido(cmbRegimen), nombreElegido(cmbDestino))) return;
        Avisa(QStringLiteral("Este destino no corresponde al regimen aduanal que eligío."), QStringLiteral("Destino incorrecto"),
              int(Icono::Informacion));
        cancelar = true;
    });

    // The capture goes on with the merchandise once the representative is done.
    ConectaRegla(estado_, TxtRep_Tel, &ControlCampo::LostFocus, this, [this] { PasaPagina(2); });

    ConectaRegla(estado_, ChkOtr, &ControlCampo::Click, this, [this] { AplicaOtros(); });
    ConectaRejillas();

    const struct {
        ControlTxtMl* campo;
        const char* aviso;
    } largos[] = {
        {TxtMlDMercancias, "En el campo de Descripción de la mercancia no podra ingresar mas de 254 caracteres, si no la "
                           "información no se guardará."},
        {TxtMlJust, "En el campo de Justificación no podra ingresar mas de 254 caracteres, si no la información no se "
                    "guardará"},
        {TxtMlActividad, "En el campo de Actividad principal no podra ingresar mas de 254 caracteres, si no la información "
                         "no se guardará"},
        {TxtMlUso, "En el campo de Uso especifico de la mercancia no podra ingresar mas de 254 caracteres, si no la "
                   "información no se guardará"},
    };
    for (const auto& l : largos) {
        ControlTxtMl* campo = l.campo;
        const QString aviso = QString::fromUtf8(l.aviso);
        // The warning does not keep the focus; the save refuses such a text later.
        ConectaRegla(estado_, campo, &ControlCampo::Validar, this, [this, campo, aviso](bool&) {
            if (campo->Text().size() > 254) Avisa(aviso, QStringLiteral("Información"), int(Icono::Informacion));
        });
    }
}

void Captura::VerificaRfcAlSalir(bool* cancelar) {
    const QString rfc = dfRFC->Text();
    const reglas::ResultadoRfc r = reglas::VerificaRfc(rfc);
    if (!r.aceptado) {
        Avisa(r.mensaje, kDatoRequerido, int(Icono::Informacion));
        if (cancelar) *cancelar = true;
        return;
    }
    AplicaTipoPersona(rfc);
}

void Captura::AplicaTipoPersona(const QString& rfc) {
    if (rfc.trimmed().isEmpty()) return;
    if (reglas::EsPersonaMoral(rfc)) {
        // A company has no maternal surname or given names.
        for (ControldfTxt* campo : {CtrdfTxtMat, CtrdfTxtNom}) {
            campo->setDatoTxt(QString());
            campo->bAceptaNulos = true;
            campo->setEnabled(false);
        }
    } else {
        // Enabled again, and required again as a natural person's surname and name are.
        for (ControldfTxt* campo : {CtrdfTxtMat, CtrdfTxtNom}) {
            campo->setEnabled(true);
            campo->bAceptaNulos = false;
        }
    }
}

bool Captura::BuscaRfcEspecial() {
    const QString rfc = dfRFC->Text();
    if (rfc.isEmpty()) return false;
    dtsAux.Conecta(estado_.sRutaApp, estado_.sConexion,
                   QStringLiteral("Select * from CATRFCES where rfcesp = '") + rfc + QStringLiteral("'"));
    dtsAux.Refresca();
    const bool especial = dtsAux.Registros().RecordCount() > 0;
    dtsAux.Desliga();
    if (!especial) return false;
    Avisa(QStringLiteral("RFC especial"), QStringLiteral("Información"), int(Icono::Informacion));
    // After the focus change that brought us here has finished.
    Difiere(estado_, cmbTramite, [this] { cmbTramite->setFocus(Qt::OtherFocusReason); });
    return true;
}

void Captura::RevisaDigitoRfc() {
    const QString rfc = dfRFC->Text();
    if (!reglas::VerificaRfc(rfc).aceptado || !reglas::DigitoRfcNoCoincide(rfc)) return;
    PonAvisoRfc(true);
    // Written once the next field has written its own hint, so that it is the one the line shows.
    Difiere(estado_, StatusBar1, [this] {
        if (avisoRfc_) StatusBar1->showMessage(reglas::kAvisoDigitoRfc);
    });
}

void Captura::PonAvisoRfc(bool aviso) {
    QLineEdit* caja = dfRFC->dfTxt;
    if (aviso && !avisoRfc_) descripcionRfc_ = caja->accessibleDescription();
    avisoRfc_ = aviso;
    // A warning colour that is not an error's: the save is not refused.
    dfRFC->PonAviso(aviso);
    caja->setAccessibleDescription(aviso ? reglas::kAvisoDigitoRfc : descripcionRfc_);
    if (!aviso && StatusBar1->currentMessage() == reglas::kAvisoDigitoRfc) StatusBar1->clearMessage();
}

void Captura::AplicaOtros() {
    if (ChkOtr->ValorChk().toString() == QLatin1String("S")) {
        TxtEspecifica->bAceptaNulos = false;
        TxtEspecifica->setEnabled(true);
    } else {
        TxtEspecifica->bAceptaNulos = true;
        TxtEspecifica->setEnabled(false);
        TxtEspecifica->setDatoTxt(QString());
    }
}

}  // namespace lorum
