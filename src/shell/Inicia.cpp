#include "Inicia.h"

#include "Diario.h"
#include "Intercambio.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QWindow>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "Bienvenida.h"
#include "Captura.h"
#include "CarpetaDatos.h"
#include "CorreoSistema.h"
#include "ControlesTexto.h"
#include "ErrorTabla.h"
#include "GuardiaFoco.h"
#include "MDICaptura.h"
#include "ServicioMensajes.h"
#include "ServicioSonido.h"
#include "ServiciosCampos.h"

#include <QDir>
#include <QProcessEnvironment>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTimer>

namespace lorum {

Inicia::Inicia(ServicioMensajes& mensajes, ServicioSonido& sonido, ServicioCorreo* correo)
    : despachador_(mensajes), sonido_(sonido) {
    estado_.mensajes = &mensajes;
    if (!correo) {
        correoPropio_ = CorreoDelSistema();
        correo = correoPropio_.get();
    }
    estado_.correo = correo;
}

Inicia::~Inicia() = default;

Inicia::Limpieza::~Limpieza() {
    if (!datos.isEmpty() && !QFileInfo::exists(QDir(datos).filePath(kDiario))) QuitaTemporales(datos);
}

bool Inicia::TraduceQt() {
    static QTranslator traductor;
    const QLocale mexico(QLocale::Spanish, QLocale::Mexico);  // qtbase_es_MX, else qtbase_es
    for (const QString& carpeta : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                   QCoreApplication::applicationDirPath() + QStringLiteral("/translations")})
        if (traductor.load(mexico, QStringLiteral("qtbase"), QStringLiteral("_"), carpeta))
            return QCoreApplication::installTranslator(&traductor);
    return false;
}

QString Inicia::RutaCandado(const QString& directorio) { return QDir(directorio).filePath(Candado::kNombre); }

bool Inicia::UnaSolaInstancia(const QString& directorio) {
    // The lock lives in the data folder itself: one per folder however its path is spelled (a link,
    // another letter case on a FAT stick), and out of reach of other users' files in /tmp.
    candado_ = std::make_unique<Candado>();
    switch (candado_->Toma(directorio)) {
        case Candado::Estado::Tomado: return true;
        case Candado::Estado::Ocupado:
            estado_.mensajes->Muestra(QStringLiteral("Esta aplicación ya esta corriendo"), QString(),
                                      ServicioMensajes::Botones::Aceptar, ServicioMensajes::Icono::Informacion);
            break;
        case Candado::Estado::Fallo:
            estado_.mensajes->Muestra(QStringLiteral("No se pudo apartar el directorio de datos «%1» para este programa (%2). Revise "
                                                     "que exista, que se pueda escribir en él y que «%3» sea un archivo.")
                                          .arg(QDir::toNativeSeparators(directorio), candado_->motivo, Candado::kNombre),
                                      QString(), ServicioMensajes::Botones::Aceptar, ServicioMensajes::Icono::Critico);
            break;
    }
    candado_.reset();
    return false;
}

bool Inicia::DirectorioEscribible(const QString& directorio) {
    QTemporaryFile prueba(QDir(directorio).filePath(QStringLiteral(".lorum-escritura-XXXXXX")));
    if (prueba.open()) return true;
    estado_.mensajes->Muestra(
        QStringLiteral("No se puede escribir en el directorio de datos «%1», donde se guarda la solicitud. "
                       "Revise sus permisos o instale el programa en un directorio propio.")
            .arg(QDir::toNativeSeparators(directorio)),
        QString(), ServicioMensajes::Botones::Aceptar, ServicioMensajes::Icono::Critico);
    return false;
}

bool Inicia::Main(const QString& directorio, const QString& instalada) {
    // The lock lives in the folder: an installed program's folder is made first; a folder that is
    // not there is said as one that cannot be written.
    if (!instalada.isEmpty()) QDir().mkpath(directorio);
    if (!QFileInfo(directorio).isDir()) return DirectorioEscribible(directorio);
    if (!UnaSolaInstancia(directorio)) return false;
    estado_.sRutaApp = QDir::cleanPath(directorio);
    limpieza_.datos = estado_.sRutaApp;
    if (!instalada.isEmpty()) {
        if (const QString falla = LlenaCarpetaDatos(estado_.sRutaApp, instalada); !falla.isEmpty()) {
            estado_.mensajes->Muestra(falla, QString(), ServicioMensajes::Botones::Aceptar, ServicioMensajes::Icono::Critico);
            return false;
        }
    }
    if (estado_.sUnidadA.isEmpty()) {
        const UnidadEntrega unidad =
            UnidadEntrega::Resuelve(opcionUnidad, QProcessEnvironment::systemEnvironment().value(QStringLiteral("LORUM_UNIDAD_A")),
                                    medios_->Recordada(), UnidadPredeterminada());
        estado_.sUnidadA = unidad.carpeta;
        estado_.sOrigenUnidad = unidad.Procedencia();
    }
    estado_.sConexion = QStringLiteral("FoxPro 2.5;");
    if (!DirectorioEscribible(estado_.sRutaApp)) return false;
    // A change cut by a kill or a power cut is completed or undone before any table is opened.
    // When it can be neither, the folder is not opened: the next start tries again.
    bool pendiente = false;
    if (const QString cambio = RecuperaDiario(estado_.sRutaApp, &pendiente); !cambio.isEmpty())
        estado_.mensajes->Muestra(cambio, QStringLiteral("LORUM"), ServicioMensajes::Botones::Aceptar,
                                  pendiente ? ServicioMensajes::Icono::Critico : ServicioMensajes::Icono::Informacion);
    if (pendiente) return false;

    if (AntesDeLaPrimeraVentana) AntesDeLaPrimeraVentana();
    const bool listo = despachador_.Ejecuta([this] {
        guardia_ = std::make_unique<GuardiaFoco>();
        ventana_ = std::make_unique<MDICaptura>(estado_, despachador_, *medios_);
        ventana_->captura()->AbreOrigenes();
        ventana_->captura()->Form_Load();
        PreparaCampos(estado_, ventana_->captura()->Controles());
        AseguraRegistros();
    });
    if (!listo) return false;
    ventana_->show();
    ventana_->captura()->dfRFC->setFocus();
    // The main window goes to the screen now with the header and the first page; the other pages, the
    // items, the welcome and its sound follow it before any key or click is taken.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (!despachador_.Ejecuta([this] {
            ventana_->CompletaVentana();
            ventana_->captura()->LigaMercancias();
        }))
        return false;
    // A message of the loaded RFC (the placeholder of a first start) and the offer of what was typed
    // and not saved come over the window, once it is on the screen.
    if (!despachador_.Ejecuta([this] {
            QWindow* w = ventana_->windowHandle();
            for (QDeadlineTimer plazo(2000); w && !w->isExposed() && !plazo.hasExpired();) {
                QEventLoop espera;
                QTimer::singleShot(20, &espera, &QEventLoop::quit);
                espera.exec(QEventLoop::ExcludeUserInputEvents);
            }
            ventana_->captura()->VerificaRfcPendiente();
            ventana_->captura()->OfreceBorrador();
        }))
        return false;

    form1_ = std::make_unique<AvisoGuardando>([this] { MuestraCaptura(); });
    ventana_->captura()->MuestraForm1 = [this] { form1_->Muestra(); };
    ventana_->captura()->MuestraCaptura = [this] { MuestraCaptura(); };
    bienvenida_ = std::make_unique<Bienvenida>(kVersion);
    bienvenida_->MuestraCentrada();
    // The sound comes once the windows are on the screen.
    QTimer::singleShot(0, &sonido_, [&sonido = sonido_, ruta = estado_.sRutaApp + QStringLiteral("/rec/XYLOPHON.wav")] {
        sonido.Reproduce(ruta);
    });
    return true;
}

void Inicia::AseguraRegistros() {
    Captura& c = *ventana_->captura();
    Cursor& empresas = c.dtsPrincipal.Registros();
    if (empresas.RecordCount() == 0) {
        empresas.AddNew();
        empresas.SetValor(u"RFC", QStringLiteral("RFC"));
        empresas.SetValor(u"Nombre", QStringLiteral("Nombre"));
        empresas.Update();
    }
    empresas.MoveLast();
    empresas.Edit();

    Cursor& lorums = c.dtsSolicitud.Registros();
    if (lorums.RecordCount() == 0) {
        lorums.AddNew();
        lorums.SetValor(u"idtra", 4);
        lorums.Update();
    }
    lorums.MoveLast();
    lorums.Edit();
    c.AsignaCampo();
}

void Inicia::MuestraCaptura() {
    if (!ventana_) return;
    ventana_->show();
    ventana_->raise();
    ventana_->activateWindow();
}

}  // namespace lorum
