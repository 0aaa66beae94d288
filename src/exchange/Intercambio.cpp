#include "Intercambio.h"

#include "Diario.h"
#include "Cursor.h"
#include "ErrorTabla.h"
#include "OrigenDatos.h"
#include "TablaDbf.h"
#include "TablasSolicitud.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lorum {

namespace {

constexpr int kIntentosDeCopia = 3;

const DefinicionTabla& DefinicionDeTabla(const QString& tabla) {
    for (const auto& t : tablas::TablasDeSolicitud())
        if (t.archivo.compare(tabla, Qt::CaseInsensitive) == 0) return *t.definicion;
    throw ErrorTabla(QStringLiteral("La tabla «%1» no es de la solicitud.").arg(tabla));
}

}  // namespace

int FExist(const QString& Ruta) { return ExisteArchivo(Ruta) ? -1 : 0; }

const QStringList& TablasDeEntrega() {
    static const QStringList t = {tablas::kMercanci, tablas::kEmpresas, tablas::kLorums, tablas::kLorumpai};
    return t;
}

ResultadoIntercambio EntregaTablas(const QString& datos, const QString& unidad, const QStringList& tablas) {
    ResultadoIntercambio r;
    if (!QFileInfo(unidad).isDir()) {
        r.mensaje = QStringLiteral("No se encontró la unidad A: («%1»). Inserte el disco e intente de nuevo.")
                        .arg(QDir::toNativeSeparators(unidad));
        return r;
    }
    try {
        for (const QString& tabla : tablas) {
            const QString origen = ResuelveArchivo(datos, tabla);
            const QString destino = ResuelveArchivo(unidad, tabla);
            const QString nombre = QDir::toNativeSeparators(destino);
            QString error;
            const QByteArray esperado = LeeArchivo(origen, &error);
            if (!error.isEmpty()) {
                r.mensaje = QStringLiteral("No se pudo leer «%1» (%2).").arg(QDir::toNativeSeparators(origen), error);
                return r;
            }
            const ResultadoCopia copia = EscribeSobreNombre(destino, esperado, Temporal::SinAnotar);
            if (!copia.ok) {
                r.mensaje = QStringLiteral("No se pudo copiar «%1» a la unidad A:.\n%2").arg(tabla, copia.mensaje);
                return r;
            }
            // What reached the medium is read back: a copy that does not match is no delivery.
            const QByteArray leido = LeeArchivo(destino, &error);
            if (!error.isEmpty() || leido != esperado) {
                r.mensaje = QStringLiteral("La copia de «%1» en la unidad A: no es igual a la tabla (%2). Use otro disco.")
                                .arg(nombre, error.isEmpty() ? QStringLiteral("el contenido difiere") : error);
                return r;
            }
        }
    } catch (const ErrorTabla& e) {
        r.mensaje = e.mensaje();
        return r;
    }
    r.ok = true;
    return r;
}

RevisionUnidad RevisaUnidad(const QString& unidad, const QStringList& tablas) {
    RevisionUnidad r;
    if (!QFileInfo(unidad).isDir()) {
        r.estado = EstadoUnidad::SinUnidad;
        return r;
    }
    try {
        for (const QString& tabla : tablas)
            if (!FExist(QDir(unidad).filePath(tabla))) {
                r.estado = EstadoUnidad::Faltan;
                return r;
            }
        for (const QString& tabla : tablas) CompruebaTabla(QDir(unidad).filePath(tabla), DefinicionDeTabla(tabla));
    } catch (const ErrorTabla& e) {
        r.estado = EstadoUnidad::Danada;
        r.mensaje = e.mensaje();
    }
    return r;
}

ResultadoCopia CopiaA(const QString& Origen, const QString& Destino, const QString& QBase, const FuncionCopia& copia) {
    ResultadoCopia r;
    for (int intento = 0; intento < kIntentosDeCopia && !r.ok; ++intento)
        r = copia(QDir(Origen).filePath(QBase), QDir(Destino).filePath(QBase));
    return r;
}

ResultadoIntercambio ReemplazaTablas(const QString& unidad, const QString& datos, const QStringList& tablas,
                                     const FuncionCopia& copia, const QString& operacion) {
    ResultadoIntercambio r;
    try {
        CambioDeTablas cambio(datos, operacion);
        for (const QString& tabla : tablas) {
            const QString nombre = QFileInfo(ResuelveArchivo(unidad, tabla)).fileName();
            cambio.Reemplaza(tabla, QDir(unidad).filePath(nombre), DefinicionDeTabla(tabla),
                             [&](const QString&, const QString& preparado) {
                                 ResultadoCopia c = CopiaA(unidad, datos, nombre,
                                                           [&](const QString& o, const QString&) { return copia(o, preparado); });
                                 if (!c.ok) c.mensaje = QStringLiteral("no se pudo copiar «%1» (%2).").arg(tabla, c.mensaje);
                                 return c;
                             });
        }
        cambio.Confirma();
    } catch (const ErrorTabla& e) {
        r.mensaje = QStringLiteral("No se pudo recuperar la información: %1\nLas tablas quedaron como estaban antes de la recuperación.")
                        .arg(e.mensaje());
        return r;
    }
    r.ok = true;
    return r;
}

}  // namespace lorum

namespace lorum {

ResumenSolicitud LeeResumen(const QString& carpeta, const QString& datos) {
    ResumenSolicitud r;
    r.carpeta = carpeta;
    const RevisionUnidad revision = RevisaUnidad(carpeta, TablasDeEntrega());
    if (revision.estado != EstadoUnidad::Lista) {
        r.mensaje = revision.estado == EstadoUnidad::Danada ? revision.mensaje : QStringLiteral("No tiene las cuatro tablas de una solicitud.");
        return r;
    }
    const QString fox = QStringLiteral("FoxPro 2.5;");
    try {
        Cursor e = AbreCursor(carpeta, fox, tablas::kEmpresas);
        if (!e.Eof()) {
            e.MoveLast();
            r.rfc = e.Valor(u"RFC").toString().trimmed();
            QStringList partes;
            for (const char16_t* campo : {u"rsapelpat", u"apelmat", u"nombre"})
                if (const QString p = e.Valor(QStringView(campo)).toString().trimmed(); !p.isEmpty()) partes << p;
            r.nombre = partes.join(u' ');
        }
        Cursor s = AbreCursor(carpeta, fox, tablas::kLorums);
        qint64 tramite = -1;
        if (!s.Eof()) {
            s.MoveLast();
            tramite = s.Valor(u"idtra").toLongLong();
            r.dolares = s.Valor(u"vdolares").toDouble();
        }
        r.partidas = AbreCursor(carpeta, QStringLiteral("FoxPro 2.6;"), tablas::kMercanci).RecordCount();
        r.guardada = QFileInfo(ResuelveArchivo(carpeta, tablas::kLorums)).lastModified();
        r.ok = true;
        if (tramite >= 0) {
            r.tramite = QString::number(tramite);
            // The procedure's name from the catalog; its number when the catalog cannot say.
            try {
                for (Cursor t = AbreCursor(datos, fox, QStringLiteral("CATTRAM")); !t.Eof(); t.MoveNext())
                    if (t.Valor(u"IDTRA").toLongLong() == tramite) r.tramite = t.Valor(u"NOMTRA").toString().trimmed();
            } catch (const ErrorTabla&) {
            }
        }
    } catch (const ErrorTabla& e) {
        r.ok = false;
        r.mensaje = e.mensaje();
    }
    return r;
}

bool TieneSolicitud(const QString& carpeta) {
    for (const QString& t : TablasDeEntrega())
        if (!FExist(QDir(carpeta).filePath(t))) return false;
    return true;
}

QStringList CarpetasDeSolicitudes(const QString& raiz) {
    QStringList r;
    const QDir dir(raiz);
    for (const QString& nombre : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        if (TieneSolicitud(dir.filePath(nombre))) r << dir.filePath(nombre);
    return r;
}

}  // namespace lorum
