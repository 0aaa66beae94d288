// Handing the request over on the delivery drive, and bringing it (or its items and countries) back.
#include "Captura.h"

#include "EstadoInicia.h"
#include "Importacion.h"

#include <QFileDialog>
#include "Intercambio.h"
#include "PunteroOcupado.h"
#include "RejillaLigada.h"
#include "ServicioMensajes.h"
#include "TablasSolicitud.h"

#include <QDir>
#include <QFileInfo>
#include <QStatusBar>

namespace lorum {

namespace {

using Icono = ServicioMensajes::Icono;

}  // namespace

bool Captura::SolicitudGuardada() {
    // What is stored is delivered, not what the form shows: a request never saved is refused.
    Cursor& empresa = dtsPrincipal.Registros();
    if (empresa.Eof()) return false;
    if (!empresa.Valor(4).isValid() || empresa.Valor(0).toString() == QLatin1String("RFC")) {
        Avisa(QStringLiteral("No se puede exportar al disco porque no se ha guardado la información"),
              QStringLiteral("Dato requerido"), int(Icono::Informacion));
        return false;
    }
    return true;
}

bool Captura::BuscaUnidad() {
    if (QFileInfo(estado_.sUnidadA).isDir() || !EligeUnidad) return QFileInfo(estado_.sUnidadA).isDir();
    const std::optional<QString> elegida =
        EligeUnidad(QStringLiteral("No se encontró la unidad de entrega «%1». Elija la unidad extraíble (o la carpeta) "
                                   "con la que desea trabajar.")
                        .arg(QDir::toNativeSeparators(estado_.sUnidadA)));
    if (!elegida) return false;
    estado_.sUnidadA = *elegida;
    return true;
}

void Captura::GeneraDisco() {
    QDir::setCurrent(estado_.sRutaApp);
    if (estado_.mensajes->Muestra(QStringLiteral("¿Esta seguro de que el disco este en la unidad A:?"),
                                  QStringLiteral("Generar Disco"), ServicioMensajes::Botones::AceptarCancelar,
                                  Icono::Pregunta) != ServicioMensajes::Respuesta::Aceptar)
        return;
    if (!SolicitudGuardada()) return;
    BuscaUnidad();  // not chosen: the delivery below says the drive is not there
    if (MuestraForm1) MuestraForm1();
    std::optional<PunteroOcupado> ocupado(std::in_place);
    const ResultadoIntercambio r = EntregaTablas(estado_.sRutaApp, estado_.sUnidadA, TablasDeEntrega());
    ocupado.reset();
    if (r.ok)
        Avisa(QStringLiteral("Se ha guardado la información correctamente en la unidad A:"), QStringLiteral("Dato requerido"),
              int(Icono::Informacion));
    else
        Avisa(r.mensaje + QStringLiteral("\nLa solicitud no quedó entregada."), QStringLiteral("Generar Disco"),
              int(Icono::Exclamacion));
    if (MuestraCaptura) MuestraCaptura();
}

void Captura::ImportaInfo() { Importa({}); }

void Captura::ImportaOtroLibro() {
    const QString archivo =
        EligeLibro ? EligeLibro(estado_.sRutaApp)
                   : QFileDialog::getOpenFileName(
                         this, QStringLiteral("Importa de otro libro"), estado_.sRutaApp,
                         QStringLiteral("Libros de cálculo (*.xls *.xlsx *.ods *.csv *.XLS *.XLSX *.ODS *.CSV);;"
                                        "Excel 97-2003 y 5.0/95 (*.xls *.XLS);;Excel (*.xlsx *.XLSX);;"
                                        "OpenDocument (*.ods *.ODS);;Texto separado por comas (*.csv *.CSV);;"
                                        "Todos los archivos (*)"));
    if (!archivo.isEmpty()) Importa(archivo);  // a cancelled chooser imports nothing
}

void Captura::Importa(const QString& archivo) {
    ResultadoImportacion r;
    {
        const PunteroOcupado ocupado;
        r = ImportaMercancias(dtsMercanciaAx, dtsMercancia.Registros(), estado_.sRutaApp, archivo);
        dtsUM.Conecta(estado_.sRutaApp, QStringLiteral("dBASE III;"), QStringLiteral("Select * from CATUM"));
        dtsUM.Refresca();
    }
    if (!r.ok) {
        Avisa(r.mensaje, QStringLiteral("Importa Mercancias"), int(Icono::Exclamacion));
        return;
    }
    // A successful import says nothing: the grid, the navigator and the totals show the new items.
    // The totals are those of the whole item table, as after a row typed in the grid, so that a save
    // stores what the items add up to.
    dbProducto->Relee();
    if (r.agregadas > 0) TotalesDePartidas();
}

void Captura::RecuperaDisco() {
    Recupera({}, {tablas::kEmpresas, tablas::kMercanci, tablas::kLorumpai, tablas::kLorums},
             QStringLiteral("RECUPERANDO INFORMACIÓN DE DISKETTE..."), QStringLiteral("Recupera Información"));
}

void Captura::RecuperaMercancias() {
    Recupera({}, {tablas::kMercanci, tablas::kLorumpai}, QStringLiteral("RECUPERANDO MERCANCIAS Y PAISES DE DISKETTE..."),
             QStringLiteral("Recuperar Mercancias"));
}

bool Captura::AbreSolicitud(const QString& carpeta) {
    return Recupera(carpeta, TablasDeEntrega(), QStringLiteral("ABRIENDO SOLICITUD GUARDADA..."), QStringLiteral("Abrir solicitud guardada"));
}

bool Captura::Recupera(const QString& carpeta, const QStringList& tablas, const QString& leyenda, const QString& operacion) {
    // From the delivery drive, unless a folder of saved requests is given.
    const bool deUnidad = carpeta.isEmpty();
    const QString nativa = QDir::toNativeSeparators(carpeta);
    if (deUnidad && !BuscaUnidad()) {
        Avisa(QStringLiteral("Inserte un diskette en la unidad A."), QStringLiteral("LORUM"), int(Icono::Exclamacion));
        return false;
    }
    const QString origen = deUnidad ? estado_.sUnidadA : carpeta;
    // Everything on the drive is checked before anything is replaced.
    const RevisionUnidad revision = RevisaUnidad(origen, tablas);
    switch (revision.estado) {
        case EstadoUnidad::SinUnidad:
            Avisa(deUnidad ? QStringLiteral("Inserte un diskette en la unidad A.")
                           : QStringLiteral("No se encontró la carpeta «%1»; no se abrió nada.").arg(nativa),
                  QStringLiteral("LORUM"), int(Icono::Exclamacion));
            return false;
        case EstadoUnidad::Faltan:
            Avisa(deUnidad ? QStringLiteral("El disco desde el que deseas realizar la recuperación no cuenta con los archivos "
                                            "requeridos para realizar la operación. Verifica por favor.")
                           : QStringLiteral("La carpeta «%1» no tiene las cuatro tablas de una solicitud; no se abrió nada.").arg(nativa),
                  QStringLiteral("LORUM"), int(Icono::Exclamacion));
            return false;
        case EstadoUnidad::Danada:
            Avisa(revision.mensaje + (deUnidad ? QStringLiteral("\nNo se recuperó nada: las tablas quedaron como estaban.")
                                               : QStringLiteral("\nNo se abrió la solicitud: las tablas quedaron como estaban.")),
                  QStringLiteral("LORUM"), int(Icono::Exclamacion));
            return false;
        case EstadoUnidad::Lista:
            break;
    }
    const QString titulo = windowTitle();
    setWindowTitle(leyenda);
    ResultadoIntercambio r;
    {
        const PunteroOcupado ocupado;
        // The sources on the tables about to be replaced let go of them first.
        for (OrigenDatos* o : {&dtsMercancia, &dtsPrincipal, &dtsPais, &dtsSolicitud}) o->Desliga();
        r = ReemplazaTablas(origen, estado_.sRutaApp, tablas, CopiaDeRecuperacion, operacion);
        dtsPexPais.Refresca();
        setWindowTitle(titulo);
        // Whether the tables are the drive's or back as they were, the form shows what they hold.
        EstableceLigas();
        DBGPais->Relee();
    }
    if (!r.ok) {
        Avisa(r.mensaje, QStringLiteral("LORUM"), int(Icono::Exclamacion));
        return false;
    }
    // The form now shows the recovered applicant and request: what was typed over them is gone.
    if (tablas.contains(tablas::kEmpresas, Qt::CaseInsensitive)) QuitaBorrador();
    if (deUnidad) Avisa(QStringLiteral("Proceso terminado."), QStringLiteral("LORUM"), int(Icono::Exclamacion));
    else StatusBar1->showMessage(QStringLiteral("Se abrió la solicitud guardada en «%1».").arg(nativa));
    return true;
}

}  // namespace lorum
