#include "Intercambio.h"

#include "ErrorTabla.h"
#include "TablaDbf.h"
#include "TablasSolicitud.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QSaveFile>
#include <map>

namespace lorum {

namespace {

constexpr int kIntentosDeCopia = 3;

QByteArray LeeTodo(const QString& ruta, QString* error) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = f.errorString();
        return {};
    }
    QByteArray b = f.readAll();
    if (f.error() != QFile::NoError) *error = f.errorString();
    return b;
}

const DefinicionTabla& DefinicionDeTabla(const QString& tabla) {
    for (const auto& t : tablas::TablasDeSolicitud())
        if (t.archivo.compare(tabla, Qt::CaseInsensitive) == 0) return *t.definicion;
    throw ErrorTabla(QStringLiteral("La tabla «%1» no es de la solicitud.").arg(tabla));
}

}  // namespace

QString UnidadA(const QStringList& argumentos) {
    const qsizetype i = argumentos.indexOf(QStringLiteral("--unidad-a"));
    if (i >= 0 && i + 1 < argumentos.size()) return argumentos[i + 1];
    const QString entorno = QProcessEnvironment::systemEnvironment().value(QStringLiteral("LORUM_UNIDAD_A"));
    if (!entorno.isEmpty()) return entorno;
#ifdef Q_OS_WIN
    return QStringLiteral("A:\\");
#else
    return QStringLiteral("/media/floppy");
#endif
}

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
            const ResultadoCopia copia = CopiaTabla(origen, destino);
            if (!copia.ok) {
                r.mensaje = QStringLiteral("No se pudo copiar «%1» a la unidad A:.\n%2").arg(tabla, copia.mensaje);
                return r;
            }
            // What reached the medium is read back: a copy that does not match is no delivery.
            QString error;
            const QByteArray esperado = LeeTodo(origen, &error);
            const QByteArray leido = LeeTodo(destino, &error);
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
                                     const FuncionCopia& copia) {
    ResultadoIntercambio r;
    // Each working table as it was (or that there was none), to put back if a later one fails.
    struct Anterior {
        QString ruta;
        QByteArray bytes;
        bool existia;
    };
    std::vector<Anterior> anteriores;
    auto deshace = [&]() -> QStringList {
        QStringList sinDeshacer;
        for (const auto& [ruta, bytes, existia] : anteriores) {
            if (!existia) {
                if (!QFile::remove(ruta)) sinDeshacer << QFileInfo(ruta).fileName();
                continue;
            }
            QSaveFile f(ruta);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || f.write(bytes) != bytes.size() || !f.commit())
                sinDeshacer << QFileInfo(ruta).fileName();
            else
                TablaDbf::RecargaSiAbierta(ruta);
        }
        AseguraDirectorio(datos);
        return sinDeshacer;
    };
    try {
        for (const QString& tabla : tablas) {
            const QString ruta = ResuelveArchivo(datos, tabla);
            QString error;
            const bool existia = QFileInfo(ruta).exists();
            QByteArray bytes = existia ? LeeTodo(ruta, &error) : QByteArray();
            if (!error.isEmpty()) {
                r.mensaje = QStringLiteral("No se pudo leer «%1» (%2); no se recuperó nada.").arg(tabla, error);
                return r;
            }
            const ResultadoCopia c = CopiaA(unidad, datos, QFileInfo(ResuelveArchivo(unidad, tabla)).fileName(),
                                            [&](const QString& origen, const QString&) { return copia(origen, ruta); });
            if (!c.ok) {
                const QStringList sinDeshacer = deshace();
                r.mensaje = QStringLiteral("No se pudo recuperar «%1»: %2\n").arg(tabla, c.mensaje) +
                            (sinDeshacer.isEmpty()
                                 ? QStringLiteral("Las tablas quedaron como estaban antes de la recuperación.")
                                 : QStringLiteral("No se pudieron devolver a como estaban: %1.").arg(sinDeshacer.join(QStringLiteral(", "))));
                return r;
            }
            anteriores.push_back({ruta, std::move(bytes), existia});
        }
    } catch (const ErrorTabla& e) {
        deshace();
        r.mensaje = e.mensaje();
        return r;
    }
    r.ok = true;
    return r;
}

}  // namespace lorum
