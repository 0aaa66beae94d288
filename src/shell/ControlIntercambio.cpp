#include "ControlIntercambio.h"

#include "Captura.h"
#include "DlgSolicitudes.h"
#include "DlgUnidad.h"
#include "EstadoInicia.h"
#include "Intercambio.h"
#include "PunteroOcupado.h"
#include "ServicioMensajes.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QStandardPaths>

namespace lorum {

namespace {

using Icono = ServicioMensajes::Icono;
using Botones = ServicioMensajes::Botones;
using Respuesta = ServicioMensajes::Respuesta;

// A name the file systems of both platforms take for a folder.
QString NombreDeCarpeta(QString texto) {
    static const QString prohibidos = QStringLiteral("<>:\"/\\|?*");
    for (QChar& c : texto)
        if (prohibidos.contains(c) || c.unicode() < 32) c = u'_';
    return texto.trimmed();
}

}  // namespace

ControlIntercambio::ControlIntercambio(EstadoInicia& estado, Captura& captura, MediosDeEntrega& medios, QWidget* ventana)
    : QObject(ventana), estado_(estado), captura_(captura), medios_(medios), ventana_(ventana) {
    EligeOtraCarpeta = [this](const QString& titulo) {
        return QFileDialog::getExistingDirectory(ventana_, titulo, QDir::homePath());
    };
    MuestraUnidades = [this](const std::vector<MedioExtraible>& lista, const QString& aviso) {
        DlgUnidad d(lista, estado_.sUnidadA, aviso, [this] { return EligeOtraCarpeta(QStringLiteral("Otra carpeta de entrega")); },
                    ventana_);
        return d.exec() == QDialog::Accepted ? d.Carpeta() : QString();
    };
    MuestraSolicitudes = [this] {
        DlgSolicitudes d(RaizSolicitudes(), estado_.sRutaApp,
                         [this] { return EligeOtraCarpeta(QStringLiteral("Abrir la solicitud guardada en otra carpeta")); }, ventana_);
        return d.exec() == QDialog::Accepted ? d.Carpeta() : QString();
    };
    EligeCarpetaCopia = [this](const QString& propuesta) {
        // A folder that does not exist yet is named as a file would be; it is made when chosen.
        return QFileDialog::getSaveFileName(ventana_, QStringLiteral("Guardar copia de la solicitud"), propuesta,
                                            QStringLiteral("Carpeta de la solicitud (*)"), nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    };
    captura_.EligeUnidad = [this](const QString& aviso) { return UnidadEnFalta(aviso); };
}

QString ControlIntercambio::RaizSolicitudes() const {
    if (!raiz.isEmpty()) return raiz;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(QStringLiteral("LORUM"));
}

void ControlIntercambio::Usa(const QString& carpeta) {
    estado_.sUnidadA = carpeta;
    estado_.sOrigenUnidad = UnidadEntrega{UnidadEntrega::Origen::Elegida, carpeta}.Procedencia();
    medios_.Recuerda(carpeta);
}

void ControlIntercambio::EligeUnidadDeEntrega() {
    const QString c = MuestraUnidades(medios_.Medios(), {});
    if (!c.isEmpty()) Usa(c);
}

std::optional<QString> ControlIntercambio::UnidadEnFalta(const QString& aviso) {
    const QString c = MuestraUnidades(medios_.Medios(), aviso);
    if (c.isEmpty()) return std::nullopt;
    Usa(c);
    return c;
}

void ControlIntercambio::GuardaCopia() {
    if (!captura_.SolicitudGuardada()) return;
    Cursor& e = captura_.dtsPrincipal.Registros();
    const QString rfc = e.Eof() || e.Bof() ? QString() : e.Valor(u"RFC").toString().trimmed();
    const QString raizCopias = RaizSolicitudes();
    QDir().mkpath(raizCopias);  // the chooser opens there; a failure shows below, when writing
    const QString propuesta =
        QDir(raizCopias).filePath(NombreDeCarpeta(QStringLiteral("%1 %2").arg(rfc, QDate::currentDate().toString(Qt::ISODate))));
    const QString carpeta = EligeCarpetaCopia(propuesta);
    if (carpeta.isEmpty()) return;
    const QString nativa = QDir::toNativeSeparators(carpeta);
    if (QFileInfo(carpeta).exists() && !QFileInfo(carpeta).isDir()) {
        estado_.mensajes->Muestra(QStringLiteral("«%1» es un archivo, no una carpeta; no se guardó la copia.").arg(nativa),
                                  QStringLiteral("Guardar copia"), Botones::Aceptar, Icono::Exclamacion);
        return;
    }
    if (TieneSolicitud(carpeta) &&
        estado_.mensajes->Muestra(QStringLiteral("La carpeta «%1» ya tiene una solicitud guardada. ¿Desea reemplazarla?").arg(nativa),
                                  QStringLiteral("Guardar copia"), Botones::SiNo, Icono::Pregunta) != Respuesta::Si)
        return;
    ResultadoIntercambio r;
    if (!QDir().mkpath(carpeta)) {
        r.mensaje = QStringLiteral("No se pudo crear la carpeta «%1».").arg(nativa);
    } else {
        const PunteroOcupado ocupado;
        r = EntregaTablas(estado_.sRutaApp, carpeta, TablasDeEntrega());  // flushed and read back, as a delivery
    }
    if (!r.ok) {
        estado_.mensajes->Muestra(r.mensaje + QStringLiteral("\nLa copia de la solicitud no quedó guardada."),
                                  QStringLiteral("Guardar copia"), Botones::Aceptar, Icono::Exclamacion);
        return;
    }
    medios_.AgregaReciente(carpeta);
    estado_.mensajes->Muestra(QStringLiteral("Se guardó una copia de la solicitud en «%1».").arg(nativa),
                              QStringLiteral("Guardar copia"), Botones::Aceptar, Icono::Informacion);
}

void ControlIntercambio::AbreGuardada() {
    const QString carpeta = MuestraSolicitudes();
    if (!carpeta.isEmpty()) AbreCarpeta(carpeta);
}

void ControlIntercambio::AbreCarpeta(const QString& carpeta) {
    // What was typed and not saved is not lost without asking, as when leaving the program.
    if (captura_.HayCambiosSinGuardar()) {
        switch (estado_.mensajes->Muestra(QStringLiteral("¿Desea guardar su información antes de abrir otra solicitud?"),
                                          QStringLiteral("Confirmar"), Botones::SiNoCancelar, Icono::Pregunta)) {
            case Respuesta::Si:
                if (!captura_.GuardaInformacion()) return;
                break;
            case Respuesta::No: break;
            default: return;
        }
    }
    if (captura_.AbreSolicitud(carpeta)) medios_.AgregaReciente(carpeta);
}

void ControlIntercambio::LlenaRecientes(QMenu* menu, const std::function<void(const std::function<void()>&)>& corre) {
    menu->clear();
    for (const QString& carpeta : medios_.Recientes()) {
        const ResumenSolicitud r = LeeResumen(carpeta, estado_.sRutaApp);
        QString texto = r.ok ? QStringLiteral("%1 — %2 — %3").arg(r.rfc, r.nombre, r.guardada.toString(QStringLiteral("dd/MM/yyyy")))
                             : QStringLiteral("%1 (no disponible)").arg(QDir::toNativeSeparators(carpeta));
        QAction* a = menu->addAction(texto.replace(u'&', QStringLiteral("&&")));
        a->setToolTip(QDir::toNativeSeparators(carpeta));
        a->setEnabled(r.ok);
        connect(a, &QAction::triggered, this, [this, carpeta, corre] { corre([this, carpeta] { AbreCarpeta(carpeta); }); });
    }
    if (menu->isEmpty()) menu->addAction(QStringLiteral("(ninguna)"))->setEnabled(false);
}

}  // namespace lorum
