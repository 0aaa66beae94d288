// Loading the form from the request tables, starting a new request, and saving.
#include "Captura.h"

#include "Archivos.h"
#include "ControlChk.h"
#include "ControlesCatalogo.h"
#include "ControlesTexto.h"
#include "Diario.h"
#include "ErrorTabla.h"
#include "EstadoInicia.h"
#include "GuardiaFoco.h"
#include "Numeros.h"
#include "PunteroOcupado.h"
#include "RejillaLigada.h"
#include "ReglasCaptura.h"
#include "Resguardo.h"
#include "ServicioMensajes.h"
#include "ServiciosCampos.h"
#include "TablasSolicitud.h"

#include <QApplication>
#include <QDir>
#include <utility>
#include <QHeaderView>
#include <QTabWidget>
#include <optional>

namespace lorum {

namespace {

using Icono = ServicioMensajes::Icono;

// A total box as a number; an empty box stores no value.
QVariant totalDe(const QLineEdit* caja) {
    const QString t = caja->text().trimmed();
    return t.isEmpty() ? QVariant() : QVariant(NumeroDeTexto(t));
}

// The fields the program reads from a working table.
const DefinicionTabla& DefinicionDe(const QString& tabla) {
    for (const auto& t : tablas::TablasDeSolicitud())
        if (t.archivo.compare(tabla, Qt::CaseInsensitive) == 0) return *t.definicion;
    throw ErrorTabla(QStringLiteral("La tabla «%1» no es de la solicitud.").arg(tabla));
}

// A field's value in the current record of a data source; none at either end.
QVariant ValorDe(OrigenDatos& origen, const char16_t* campo) {
    Cursor& c = origen.Registros();
    return !c.Eof() && !c.Bof() ? c.Valor(QStringView(campo)) : QVariant();
}

}  // namespace

void Captura::Form_Load() {
    setWindowTitle(QStringLiteral("Disco de Captura ver 1.0.9"));
    nMaxPaises = 300;
    setTabOrder(dfRFC, CtrdfTxtRSPat);
    dtsMercancia.Conecta(estado_.sRutaApp, QStringLiteral("FoxPro 2.6;"), QStringLiteral("MERCANCI"));
    CtrdfTxtMat->setEnabled(true);
    CtrdfTxtNom->setEnabled(true);
    PasaPagina(0);
}

void Captura::LigaMercancias() {
    dtsMercancia.Refresca();
    dbProducto->Liga(&dtsMercancia);
    PreparaRejillas();  // the binding gave the grid its columns
}

void Captura::DBGridHeading() {
    // The headings' font is also the form's measuring font; the form's controls keep their own.
    fuenteMedida_ = QFont(QStringLiteral("MS Sans Serif"), 8);
    fuenteMedida_.setBold(true);
    DBGPais->horizontalHeader()->setFont(fuenteMedida_);
    const QStringList titulos = {QStringLiteral("RFC"), QStringLiteral("IDPAIS"), QStringLiteral("Clave"), QStringLiteral("País")};
    for (int c = 0; c < titulos.size(); ++c) DBGPais->modelo()->PonEncabezado(c, titulos[c]);
    for (int c = 0; c < titulos.size(); ++c) CenterHeadColumn(c);
}

void Captura::CenterHeadColumn(int columna) {
    const Qt::Alignment a = DBGPais->horizontalHeader()->defaultAlignment() & Qt::AlignHorizontal_Mask;
    const int alineacion = a == Qt::AlignLeft ? 0 : a == Qt::AlignRight ? 1 : a == Qt::AlignHCenter ? 2 : 3;
    const QFontMetrics medida(fuenteMedida_);
    const QString titulo = DBGPais->modelo()->headerData(columna, Qt::Horizontal, Qt::DisplayRole).toString();
    DBGPais->modelo()->PonEncabezado(
        columna, reglas::CentraEncabezado(titulo, alineacion, DBGPais->columnWidth(columna),
                                          [&](const QString& t) { return medida.horizontalAdvance(t); }));
}

void Captura::EstableceLigas() {
    dtsPrincipal.Conecta(estado_.sRutaApp, estado_.sConexion, QStringLiteral("empresas.dbf"));
    dtsMercancia.Conecta(estado_.sRutaApp, QStringLiteral("FoxPro 2.6;"), QStringLiteral("mercanci"));
    dtsPais.Conecta(estado_.sRutaApp, estado_.sConexion, QStringLiteral("lorumpai"));
    dtsSolicitud.Conecta(estado_.sRutaApp, estado_.sConexion, QStringLiteral("lorums"));
    for (OrigenDatos* o : {&dtsPrincipal, &dtsMercancia, &dtsSolicitud, &dtsPais}) o->Refresca();
    dbProducto->Relee();
    AsignaCampo();
}

std::vector<Captura::CampoDeForma> Captura::CamposDeForma() const {
    constexpr Tabla E = Tabla::Empresa, S = Tabla::Solicitud;
    constexpr Limpieza Siempre = Limpieza::Siempre, Generales = Limpieza::SinDatosGenerales, Nunca = Limpieza::Nunca;
    // The RFC first: its check at a load decides which name fields the applicant has.
    return {
        {dfRFC, E, u"RFC", Generales},          {CtrdfTxtRSPat, E, u"rsapelpat", Generales},
        {CtrdfTxtMat, E, u"apelmat", Generales}, {CtrdfTxtNom, E, u"nombre", Generales},
        {TxtCalle, E, u"direccion1", Generales}, {TxtCP, E, u"codigo_pos", Generales},
        {CmbEstado, E, u"estado", Generales},    {TxtDelMun, E, u"delmun", Generales},
        {TxtColonia, E, u"colonia", Generales},  {TxtTelefono, E, u"telefono", Generales},
        {TxtFax, E, u"fax", Generales},          {TxtMlDMercancias, E, u"dmercanci", Siempre},
        {TxtAcredita, E, u"acredita", Generales}, {TxtRep_Nom, E, u"Rep_legal", Generales},
        {TxtRep_AP, E, u"Rep_legalP", Generales}, {TxtRep_AM, E, u"Rep_legalM", Generales},
        {TxtRep_Cargo, E, u"cargo", Generales},  {TxtRep_Tel, E, u"telrep", Generales},
        {dfRFC, S, u"RFC", Nunca, false},        {cmbTramite, S, u"idtra", Siempre},
        {cmbRegimen, S, u"idtipimpex", Siempre}, {cmbDestino, S, u"iddestinop", Siempre},
        {TxtMlActividad, S, u"textogiro", Siempre}, {TxtMlUso, S, u"usomerc", Siempre},
        {ChkUsado, S, u"Usado", Siempre},        {TxtMlJust, S, u"just", Siempre},
        {ChkCat, S, u"cat", Siempre},            {ChkFot, S, u"foto", Siempre},
        {ChkPla, S, u"plano", Siempre},          {ChkOtr, S, u"otro", Siempre},
        // After "Otro": its rule clears the text that specifies it.
        {ChkNin, S, u"ninguno", Siempre},        {TxtEspecifica, S, u"especifica", Nunca},
        {TxtRecif, S, u"recif", Siempre},        {TxtFraccion, S, u"fraccion", Siempre},
        {cmbUM, S, u"idum", Siempre},
    };
}

void Captura::AsignaCampo() {
    AsignaEncabezado();
    if (completa_) AsignaResto();
}

void Captura::VerificaRfcPendiente() {
    if (std::exchange(rfcPorVerificar_, false)) VerificaRfcAlSalir(nullptr);
}

void Captura::CargaCampos(bool delEncabezado) {
    const Cargando carga(*this);
    const auto primeros = controles_.begin() + std::ptrdiff_t(controlesEncabezado_);
    for (const CampoDeForma& c : CamposDeForma()) {
        if (!c.control || !c.carga || (std::find(controles_.begin(), primeros, c.control) != primeros) != delEncabezado) continue;
        c.control->PonValor(ValorDe(c.tabla == Tabla::Empresa ? dtsPrincipal : dtsSolicitud, c.campo));
        if (c.control != dfRFC) continue;
        // At start-up the form loads before the window is up: its RFC is checked once the window
        // shows, so that a message comes over it and not over an empty screen.
        if (window()->isVisible()) VerificaRfcAlSalir(nullptr);
        else rfcPorVerificar_ = true;
    }
}

void Captura::AsignaEncabezado() { CargaCampos(true); }

void Captura::AsignaResto() {
    CargaCampos(false);
    const Cargando carga(*this);
    for (auto [caja, campo] : {std::pair{Text1, u"cantidad"}, std::pair{Text2, u"vdolares"}})
        if (const QVariant v = ValorDe(dtsSolicitud, campo); v.isValid())
            caja->setText(TextoDeNumero(v.toDouble()));  // a null total leaves the box as it was
}

void Captura::EnfocaFaltante() {
    // After the missing-data list the user can fill the first missing field at once. Leaving the
    // field that had the focus runs its checks, as any move does.
    for (ControlCampo* campo : estado_.colCampos) {
        if (campo->VerificaDato().isEmpty() || !campo->isEnabled()) continue;
        campo->Interior()->setFocus(Qt::OtherFocusReason);
        if (GuardiaFoco::CampoDe(campo->window()->focusWidget()) != campo) return;  // the move was refused
        // The page is turned once the lost-focus rules of the field left have run.
        Difiere(estado_, this, [this, campo] {
            for (int i = 0; i < SSTab1->count(); ++i)
                if (SSTab1->widget(i)->isAncestorOf(campo)) PasaPagina(i);
            campo->Interior()->setFocus(Qt::OtherFocusReason);
        });
        return;
    }
}

bool Captura::ReemplazaTabla(const QString& fuente, const QString& tabla, const QString& que) {
    // A table file is checked before it may replace a working table: a damaged one would leave a
    // table the next start-up cannot open. A failed check or copy leaves the table as it was.
    const QDir dir(estado_.sRutaApp);
    ResultadoCopia r;
    try {
        CompruebaTabla(dir.filePath(fuente), DefinicionDe(tabla));
        r = CopiaTabla(dir.filePath(fuente), dir.filePath(tabla));
    } catch (const ErrorTabla& e) {
        r.mensaje = e.mensaje();
    }
    if (!r.ok) Avisa(QStringLiteral("%1; la tabla quedó como estaba.\n%2").arg(que, r.mensaje), QStringLiteral("LORUM"), int(Icono::Exclamacion));
    return r.ok;
}

bool Captura::VaciaTablas(const std::vector<std::pair<QString, QString>>& plantillas, bool borraSolicitud) {
    // Every template is checked and staged before any table changes, and the switch is one step
    // across a kill: the folder never holds half a new request.
    const QDir dir(estado_.sRutaApp);
    QString fallo;
    try {
        CambioDeTablas cambio(estado_.sRutaApp, QStringLiteral("Limpiar"));
        for (const auto& [plantilla, tabla] : plantillas) {
            try {
                cambio.Reemplaza(tabla, dir.filePath(plantilla), DefinicionDe(tabla));
            } catch (const ErrorTabla& e) {
                throw ErrorTabla(QStringLiteral("No se pudo vaciar «%1» con su plantilla «%2»; las tablas quedaron como estaban.\n%3")
                                     .arg(tabla, plantilla, e.mensaje()));
            }
        }
        Cursor& s = dtsSolicitud.Registros();
        if (borraSolicitud && !s.Eof() && !s.Bof()) cambio.Borra(s);
        cambio.Confirma();
        return true;
    } catch (const ErrorTabla& e) {
        fallo = e.mensaje();
    }
    Avisa(fallo, QStringLiteral("LORUM"), int(Icono::Exclamacion));
    return false;
}

void Captura::LimpiaCamposDeSolicitud(bool todo) {
    for (const CampoDeForma& c : CamposDeForma())
        if (c.limpia == Limpieza::Siempre || (todo && c.limpia == Limpieza::SinDatosGenerales)) c.control->Limpia();
    Text1->setText(QStringLiteral("0"));
    Text2->setText(QStringLiteral("0"));
}

void Captura::LimpiaInformacion() {
    QDir::setCurrent(estado_.sRutaApp);
    Cursor& e = dtsPrincipal.Registros();
    if (!e.Eof() && !e.Bof()) {
        e.Edit();
        const auto r = estado_.mensajes->Muestra(QStringLiteral("¿Desea conservar los datos generales?"),
                                                 QStringLiteral("Confirmar"), ServicioMensajes::Botones::SiNoSinEscape,
                                                 ServicioMensajes::Icono::Pregunta);
        // When the tables stay as they were (a damaged template), so do the form and the counters:
        // the next save must not append a second applicant beside the first.
        if (r == ServicioMensajes::Respuesta::Si) {
            if (!VaciaTablas({{tablas::kPlantillaMercanci, tablas::kMercanci}, {tablas::kPlantillaLorumpai, QStringLiteral("LORUMPAI.dbf")}},
                             true)) {
                e.CancelUpdate();
                return;
            }
            LimpiaCamposDeSolicitud();
        } else {
            if (!VaciaTablas({{tablas::kPlantillaEmpresas, tablas::kEmpresas},
                              {tablas::kPlantillaLorums, tablas::kLorums},
                              {tablas::kPlantillaMercanci, tablas::kMercanci},
                              {tablas::kPlantillaLorumpai, QStringLiteral("LORUMPAI.dbf")}},
                             false)) {
                e.CancelUpdate();
                return;
            }
            Cursor& s = dtsSolicitud.Registros();
            if (!s.Eof() && !s.Bof()) s.Edit();
            LimpiaCamposDeSolicitud(true);
        }
    }
    dtsPrincipal.Refresca();
    ++nLimpiezas;
    QuitaBorrador();  // what was typed is cleared with the tables
    dtsMercancia.Refresca();
    dtsPexPais.Refresca();
    dbProducto->Relee();
    DBGPais->Relee();
}

bool Captura::GuardaInformacion() {
    if (!VerificaCampos(estado_)) {
        EnfocaFaltante();
        return false;
    }

    // Each table field with the control it comes from, in the order they are written.
    struct Dato {
        const char16_t* campo;
        QVariant valor;
        ControlCampo* control;
    };
    std::vector<Dato> empresa, solicitud;
    for (const CampoDeForma& c : CamposDeForma()) {
        auto& datos = c.tabla == Tabla::Empresa ? empresa : solicitud;
        datos.push_back({c.campo, c.control->Valor(), c.control});
        if (QStringView(c.campo) == u"recif") {
            datos.push_back({u"cantidad", totalDe(Text1), nullptr});
            datos.push_back({u"vdolares", totalDe(Text2), nullptr});
        }
    }

    // Nothing is stored cut: every value is tried on a scratch record first, and any that does not
    // fit refuses the whole save before anything is written. A field missing from a table is no
    // value fault: the engine's message ends the save.
    QStringList noCaben;
    auto prueba = [&](OrigenDatos& origen, const std::vector<Dato>& datos) {
        Cursor ensayo = origen.Registros().Clone();
        ensayo.AddNew();
        for (const Dato& d : datos) {
            try {
                ensayo.SetValor(QStringView(d.campo), d.valor);
            } catch (const ErrorTabla& e) {
                if (e.motivo().isEmpty()) throw;
                const QString nombre = d.control ? d.control->NombreCampo
                                                 : (QStringView(d.campo) == u"cantidad" ? QStringLiteral("Cantidad")
                                                                                        : QStringLiteral("Valor en Dólares"));
                noCaben << QStringLiteral("%1 (%2)").arg(nombre, e.motivo());
            }
        }
        ensayo.CancelUpdate();
    };
    prueba(dtsPrincipal, empresa);
    prueba(dtsSolicitud, solicitud);
    if (!noCaben.isEmpty()) {
        estado_.sFaltantes = noCaben.join(QStringLiteral(",\r"));
        Avisa(QStringLiteral("No se guardó la información: los siguientes datos no caben en su campo. Corríjalos e "
                             "intente de nuevo:\r") +
                  estado_.sFaltantes,
              QStringLiteral("Dato requerido"), int(Icono::Informacion));
        return false;
    }

    std::optional<PunteroOcupado> ocupado(std::in_place);
    const bool agrega = nLimpiezas > 0;
    Cursor& e = dtsPrincipal.Registros();
    Cursor& s = dtsSolicitud.Registros();
    auto prepara = [agrega](Cursor& c, const std::vector<Dato>& datos) {
        if (agrega) c.AddNew();
        else c.Edit();
        for (const Dato& d : datos) c.SetValor(QStringView(d.campo), d.valor);
    };
    // The applicant and the request are one step, across a kill or a power cut: the journal holds
    // both records before either is written, and both reach the disk before the user is told.
    try {
        CambioDeTablas cambio(estado_.sRutaApp, QStringLiteral("Guardar"));
        prepara(e, empresa);
        prepara(s, solicitud);
        cambio.Escribe(e);
        cambio.Escribe(s);
        cambio.Confirma();
    } catch (const ErrorTabla&) {
        e.CancelUpdate();
        s.CancelUpdate();
        throw;  // the dispatcher shows the engine's message; the caller learns the save failed
    }
    const qint64 escrito = e.LastModified();
    ++nGuardados;
    QuitaBorrador();  // the tables hold it now

    if (!agrega) {
        const Cargando carga(*this);
        LimpiaCampos(estado_, controles_);
        AsignaCampo();
        ocupado.reset();
        Avisa(QStringLiteral("Se ha guardado la información correctamente"), QStringLiteral("Dato requerido"),
              int(Icono::Informacion));
    } else {
        // The form, the tables and "the current record" agree: the records just written are current,
        // so a following "Limpiar" speaks of the request on screen.
        e.SetBookmark(escrito);
        s.SetBookmark(s.LastModified());
        ocupado.reset();
        Avisa(QStringLiteral("Se ha guardado la información correctamente, debera importarlo a la unidad A:"),
              QStringLiteral("Dato requerido"), int(Icono::Informacion));
    }
    return true;
}

}  // namespace lorum
