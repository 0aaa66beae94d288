// The draft of what is typed and not yet saved: written as the user types, offered at start-up.
#include "Borrador.h"
#include "Captura.h"
#include "ControlesCatalogo.h"
#include "ControlesTexto.h"
#include "EstadoInicia.h"
#include "ReglasCaptura.h"
#include "ServicioMensajes.h"

#include <QStatusBar>
#include <QTabWidget>
#include <map>

namespace lorum {

namespace {

// A field's value as the draft keeps it: a catalog's key only while one of its entries is chosen.
QString TextoDeCampo(const ControlCampo* c) {
    if (const auto* catalogo = qobject_cast<const ControlCatalogo*>(c))
        return catalogo->nLista >= 0 && !catalogo->Text().isEmpty() ? catalogo->Valor().toString() : QString();
    return c->Valor().toString();
}

}  // namespace

Captura::~Captura() {
    // What was typed since the last draft is kept, however the window goes.
    EscribeBorrador();
    escritor_.reset();  // finishes writing
}

void Captura::ConectaBorrador(size_t desde) {
    esperaBorrador_.setSingleShot(true);
    if (desde == 0) connect(&esperaBorrador_, &QTimer::timeout, this, &Captura::EscribeBorrador);
    const auto primero = controles_.begin() + std::ptrdiff_t(desde);
    for (const CampoDeForma& c : CamposDeForma()) {
        if (!c.control || !c.carga || std::find(primero, controles_.end(), c.control) == controles_.end()) continue;
        connect(c.control, &ControlCampo::Cambio, this, &Captura::AlCambiarCampo);
        connect(c.control, &ControlCampo::LostFocus, this, &Captura::EscribeBorrador);
    }
}

void Captura::AlCambiarCampo() {
    if (cargando_ > 0 || !borradorActivo_) return;
    borradorSucio_ = true;
    cambiosSinGuardar_ = true;
    // While typing goes on, a draft at most every few seconds.
    if (!esperaBorrador_.isActive()) esperaBorrador_.start(kEsperaBorrador);
}

Borrador Captura::BorradorActual() const {
    Borrador b;
    b.hora = QDateTime::currentDateTime();
    b.pagina = std::max(0, SSTab1->currentIndex());
    for (const CampoDeForma& c : CamposDeForma())
        if (c.control && c.carga) b.campos.emplace_back(c.control->NombreCampo, TextoDeCampo(c.control));
    return b;
}

EscritorBorrador& Captura::escritor() {
    if (!escritor_) {
        escritor_ = std::make_unique<EscritorBorrador>(estado_.sRutaApp, [this](const QString& mensaje) {
            // From the writer's thread to the form's; said once a run, on the status line.
            QMetaObject::invokeMethod(
                this,
                [this, mensaje] {
                    if (!std::exchange(falloBorradorDicho_, true))
                        StatusBar1->showMessage(
                            QStringLiteral("No se pudo guardar el borrador de la captura: %1").arg(mensaje));
                },
                Qt::QueuedConnection);
        });
    }
    return *escritor_;
}

void Captura::EscribeBorrador() {
    esperaBorrador_.stop();
    if (!std::exchange(borradorSucio_, false) || estado_.sRutaApp.isEmpty()) return;
    escritor().Escribe(BorradorActual());
}

void Captura::QuitaBorrador() {
    esperaBorrador_.stop();
    borradorSucio_ = false;
    cambiosSinGuardar_ = false;
    if (!estado_.sRutaApp.isEmpty()) escritor().Quita();
}

bool Captura::AplicaBorrador(const Borrador& borrador) {
    std::map<QString, QString> valores(borrador.campos.begin(), borrador.campos.end());
    std::map<QString, ControlCampo*> campos;
    for (const CampoDeForma& c : CamposDeForma())
        if (c.control && c.carga) campos[c.control->NombreCampo] = c.control;
    for (const auto& [nombre, valor] : valores)
        if (!campos.count(nombre)) return false;
    {
        const Cargando carga(*this);
        // In the load's order: the RFC first, as its check decides the name fields.
        for (const CampoDeForma& c : CamposDeForma()) {
            const auto v = c.control && c.carga ? valores.find(c.control->NombreCampo) : valores.end();
            if (v == valores.end()) continue;
            if (v->second.isEmpty() && qobject_cast<ControlCatalogo*>(c.control)) c.control->Limpia();
            else c.control->PonValor(v->second);
            if (c.control == dfRFC && reglas::VerificaRfc(v->second).aceptado) AplicaTipoPersona(v->second);
        }
    }
    if (borrador.pagina < SSTab1->count()) PasaPagina(borrador.pagina);
    return true;
}

void Captura::OfreceBorrador() {
    if (estado_.sRutaApp.isEmpty()) return;
    // From here on a change is the user's: the start-up's own filling of the form is no typing.
    borradorActivo_ = true;
    bool danado = false;
    const std::optional<Borrador> b = LeeBorrador(estado_.sRutaApp, &danado);
    std::map<QString, QString> ahora;
    for (const auto& [nombre, valor] : BorradorActual().campos) ahora[nombre] = valor;
    bool ajeno = false, igual = true;
    if (b) {
        for (const auto& [nombre, valor] : b->campos) {
            const auto it = ahora.find(nombre);
            ajeno = ajeno || it == ahora.end();
            igual = igual && it != ahora.end() && it->second == valor;
        }
    }
    if (!b && !danado) return;
    if (!b || ajeno) {
        // Never loaded, never offered again, and still there for whoever wants to look at it.
        const bool apartado = ApartaBorrador(estado_.sRutaApp);
        Avisa(QStringLiteral("La información capturada que no se guardó (lorum.borrador) está dañada o no es de esta "
                             "versión; no se recuperó.") +
                  (apartado ? QStringLiteral(" Se apartó como lorum.borrador.danado.") : QString()),
              QStringLiteral("LORUM"), int(ServicioMensajes::Icono::Exclamacion));
        return;
    }
    if (igual) {  // the tables already hold it
        QuitaBorrador();
        return;
    }
    QString pregunta = QStringLiteral("Hay información capturada el %1 a las %2 que no se guardó")
                           .arg(b->hora.toString(QStringLiteral("dd/MM/yyyy")), b->hora.toString(QStringLiteral("HH:mm")));
    // Typing of another applicant than the stored one is still the user's: it is named.
    const auto rfc = std::find_if(b->campos.begin(), b->campos.end(), [this](const auto& c) { return c.first == dfRFC->NombreCampo; });
    if (rfc != b->campos.end() && !rfc->second.trimmed().isEmpty() && rfc->second.trimmed() != dfRFC->Text().trimmed())
        pregunta += QStringLiteral(" (RFC %1)").arg(rfc->second.trimmed());
    pregunta += QStringLiteral(". ¿Desea recuperarla?");
    // Escape is no answer here: it must not throw the typing away.
    const auto r = estado_.mensajes->Muestra(pregunta, QStringLiteral("Confirmar"), ServicioMensajes::Botones::SiNoSinEscape,
                                             ServicioMensajes::Icono::Pregunta);
    if (r != ServicioMensajes::Respuesta::Si) {
        QuitaBorrador();
        return;
    }
    AplicaBorrador(*b);
    cambiosSinGuardar_ = true;
    StatusBar1->showMessage(QStringLiteral("La información recuperada no está guardada hasta que elija «Guardar»."));
}

}  // namespace lorum
