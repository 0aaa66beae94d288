// The settings each field of the capture form writes when it reports that it was created.
#include "Captura.h"

#include "ControlChk.h"
#include "ControlesCatalogo.h"
#include "ControlesTexto.h"
#include "EstadoInicia.h"

#include <algorithm>

namespace lorum {

namespace {

struct AjusteTexto {
    ControldfTxt* Captura::*campo;
    const char* nombre;
    const char* barra;
    const char* tips;
    int maximo;
    bool requerido;
};

// Single-line fields: display name, status-line hint, tooltip, maximum length, required.
const AjusteTexto kTextos[] = {
    {&Captura::dfRFC, "RFC de la Empresa", "Digite el RFC de la Empresa", "Inicia con un [Espacio] si es persona moral", 13, true},
    {&Captura::CtrdfTxtRSPat, "Razón Social o Apellido Paterno", "Digite la Razón social o apellido paterno del Interesado.",
     "Razón social o apellido paterno del Interesado.", 60, true},
    {&Captura::CtrdfTxtMat, "Apellido Materno", "Digite el Apellido materno del Interesado.", "Apellido materno del Interesado.", 30, true},
    {&Captura::CtrdfTxtNom, "Nombre", "Digite el o los Nombre(s) Personal(es) del Interesado.",
     "Nombre(s) Personal(es) del Interesado.", 30, true},
    {&Captura::TxtCalle, "Calle", "Digite la calle y número del interesado.", "Calle y número del interesado.", 254, true},
    {&Captura::TxtCP, "Código Postal", "Digite el código postal del interesado", "Código postal del interesado", 5, true},
    {&Captura::TxtDelMun, "Deleg. o Mun.", "Digite la Delegación o Municipio del interesado.",
     "Delegación o Municipio del interesado.", 50, true},
    {&Captura::TxtColonia, "Colonia", "Digite la colonia del interesado.", "Colonia de la Dirección.", 50, true},
    {&Captura::TxtTelefono, "Teléfono", "Digite el teléfono.", "Teléfono del interesado.", 25, true},
    {&Captura::TxtFax, "Fax", "Digite el fax", "Fax del interesado", 16, true},
    {&Captura::TxtAcredita, "No de Acreditamiento",
     "Digite el número de autorización del representante legal del interesado.",
     "Número autorización del representante legal.", 12, false},
    {&Captura::TxtRep_Nom, "Nombre de pila del representante legal",
     "Digite el nombre(s) del representante legal del interesado.", "Nombre(s) del representante legal.", 20, false},
    {&Captura::TxtRep_AP, "Apellido paterno del representante legal",
     "Digite el apellido paterno del representante legal del interesado.", "Apellido paterno del representante legal.", 20, false},
    {&Captura::TxtRep_AM, "Apellido materno del representante legal",
     "Digite el apellido materno del representante legal del interesado.", "Apellido materno del representante legal.", 20, false},
    {&Captura::TxtRep_Cargo, "Cargo del representante",
     "Digite el cargo en la empresa del representate legal del interesado.",
     "Cargo en la empresa del representante legal.", 40, true},
    {&Captura::TxtRep_Tel, "Teléfono del representante", "Digite el teléfono del representate legal del interesado.",
     "Teléfono(s) del representante legal.", 25, true},
    {&Captura::TxtRecif, "Últimos seis dígitos del RECIF", "Digite los últimos seis dígitos del RECIF.",
     "Digite los últimos SEIS DIGITOS del RECIF.", 6, false},
    {&Captura::TxtFraccion, "Fraccion para la tarifa de Importacion.",
     "Digite la Fracción o tarifa que se presenta en la solicitud.",
     "Fracción o tarifa que se presenta en la solicitud.", 8, true},
    {&Captura::TxtEspecifica, "Anexos de la Solicitud", "Digite que anexos vienen con la solicitud.",
     "Escriba los otros anexos que vienen con la solicitud.", 254, false},
};

struct AjusteLargo {
    ControlTxtMl* Captura::*campo;
    const char* nombre;
    const char* barra;
    const char* tips;
    int maximo;
};

// Long texts: all required; the maximum has no effect on a multi-line field, as set.
const AjusteLargo kLargos[] = {
    {&Captura::TxtMlDMercancias, "Descripcion de la mercancia.", "Digite la Descripción de la mercancía.",
     "Digite la Descripción de la mercancía.", 254},
    {&Captura::TxtMlJust, "Justificación", "Digite la justificación de la imp. o exp. y el beneficio que se obtiene",
     "Justificación y beneficio", 254},
    {&Captura::TxtMlActividad, "Actividad o giro principal", "Digite la actividad o giro principal",
     "Actividad o giro principal", 0},
};

struct AjusteCheck {
    ControlChk* Captura::*campo;
    const char* caption;
    const char* tips;  // nullptr: none
    const char* nombre;
    const char* barra;
};

const AjusteCheck kChecks[] = {
    {&Captura::ChkCat, "Catálogo", "Indique si anexa catálogo", "Catálogo", "Marque los anexos que vienen con la solicitud."},
    {&Captura::ChkFot, "Fotografía", "Indique si anexa fotografía(s)", "Fotografías", "Marque los anexos que vienen con la solicitud."},
    {&Captura::ChkPla, "Planos", "Indique si anexa plano(s)", "Planos", "Marque los anexos que vienen con la solicitud."},
    {&Captura::ChkOtr, "Otros", "Indique si anexa otro(s) documento(s)", "Otros", "Marque los anexos que vienen con la solicitud."},
    {&Captura::ChkNin, "Ninguno", nullptr, "Ninguno", "Marque si no hay anexos en la solicitud."},
    {&Captura::ChkUsado, "Usado", "Indique si la mercancía es usada", "Usado nombre", "Marcado indica producto usado."},
};

struct AjusteCatalogo {
    ControlCatalogo* campo;
    const char* fuente;
    const char* campoVisible;
    const char* lista;
    const char* nombre;
    const char* barra;
    const char* tips;  // nullptr: none
    bool requerido;
    bool llena;
};

QString u8(const char* texto) { return QString::fromUtf8(texto); }

}  // namespace

void Captura::AjustaCampos(size_t desde) {
    // Only the fields built since `desde`: the others have their settings already, or are not built yet.
    const auto nuevo = [this, desde](const QWidget* campo) {
        return campo && std::find(controles_.begin() + std::ptrdiff_t(desde), controles_.end(), campo) != controles_.end();
    };
    for (const auto& a : kTextos) {
        ControldfTxt* campo = this->*a.campo;
        if (!nuevo(campo)) continue;
        connect(campo, &ControlCampo::CreadoEvento, this, [campo, a] {
            campo->bAceptaNulos = !a.requerido;
            campo->NombreCampo = u8(a.nombre);
            campo->sTextoBarra = u8(a.barra);
            campo->setTips(u8(a.tips));
            campo->nMaxLen = qint16(a.maximo);
        });
    }
    for (const auto& a : kLargos) {
        ControlTxtMl* campo = this->*a.campo;
        if (!nuevo(campo)) continue;
        connect(campo, &ControlCampo::CreadoEvento, this, [campo, a] {
            campo->bAceptaNulos = false;
            campo->NombreCampo = u8(a.nombre);
            campo->sTextoBarra = u8(a.barra);
            campo->setTips(u8(a.tips));
            if (a.maximo) campo->nMaxLen = qint16(a.maximo);
        });
    }
    // TxtMlUso keeps its defaults: optional, named after its control, no hint and no tooltip.
    for (const auto& a : kChecks) {
        ControlChk* campo = this->*a.campo;
        if (!nuevo(campo)) continue;
        connect(campo, &ControlCampo::CreadoEvento, this, [campo, a] {
            campo->setDatoTxt(u8(a.caption));
            campo->bAceptaNulos = true;
            campo->setTips(a.tips ? QVariant(u8(a.tips)) : QVariant());
            campo->NombreCampo = u8(a.nombre);
            campo->sTextoBarra = u8(a.barra);
        });
    }

    const AjusteCatalogo catalogos[] = {
        {CmbEstado, "ESTADOS", "NOMBRE", "NOMBRE,ESTADO,NOMBRE", "Estados", "Digite o seleccione el Estado de la Dirección.",
         "Estado de la Dirección", false, true},
        {cmbTramite, "CATTRAM", "NOMTRA", "IDTRA,NOMTRA", "Trámite",
         "Digite o seleccione el Tipo de trámite que se presenta en la solicitud",
         "Tipo de trámite que se presenta en la solicitud.", true, true},
        {cmbRegimen, "CATREGIM", "NOMTIPIMP", "IDTIPIMP,NOMTIPIMP", "Régimen aduanal",
         "Digite o seleccione el Régimen aduanal que se presenta en la solicitud.",
         "Régimen aduanal que se presenta en la solicitud.", true, true},
        {cmbDestino, "CATDESTINO", "NOMDESTINO", "IDDESTINO,NOMDESTINO", "Tipo de Destino", "Seleccione el Destino correcto.",
         "Tipo de Destino.", true, true},
        {cmbUM, "CATUM", "U_MEDIDA", "CVE_MED,U_MEDIDA", "Unidad de Medida", "Seleccione la unidad de medida.", nullptr,
         true, true},
        {LstPais, "CATPAIS", "nomcompai", "IDPAIS,CVESHCP,NOMCOMPAI", "País", "Seleccione el país.", "País.", false, true},
        {LstUnidad, "catum", "u_medida", "CVE_MED,U_MEDIDA", "Unidad de medida", "Seleccione una unidad de medida.",
         "Unidad de medida", false, true},
        {cmbUnidadMedida, "catum", "u_medida", "CVE_MED,U_MEDIDA", "Unidad de medida", "Seleccione una unidad de medida.",
         "Unidad de medida", false, false},
    };
    for (const auto& a : catalogos) {
        ControlCatalogo* campo = a.campo;
        if (!nuevo(campo)) continue;
        connect(campo, &ControlCampo::CreadoEvento, this, [this, campo, a] {
            campo->Connect = QStringLiteral("FoxPro 2.5;");
            campo->DatabaseName = estado_.sRutaApp;
            campo->RecordSource = u8(a.fuente);
            campo->DataField = u8(a.campoVisible);
            campo->sListaCampos = u8(a.lista);
            campo->bAceptaNulos = !a.requerido;
            campo->NombreCampo = u8(a.nombre);
            campo->sTextoBarra = u8(a.barra);
            campo->setTips(a.tips ? QVariant(u8(a.tips)) : QVariant());
            if (a.llena) campo->Llenadato();
        });
    }
    // Every combo of the form leaves its chosen key and text in the form's last-choice variables.
    for (ControlCmb* cmb : {CmbEstado, cmbTramite, cmbRegimen, cmbDestino, cmbUM, cmbUnidadMedida}) {
        if (!nuevo(cmb)) continue;
        connect(cmb, &ControlCampo::Click, this, [this, cmb] {
            qint16 llave = 0;
            qint16 texto = 1;
            nUltimaLlave = cmb->GetNumLlave(llave);
            sUltimoTexto = cmb->GetStrLlave(texto);
        });
    }
}

}  // namespace lorum
