#include "CarpetaDatos.h"
#include "Plataforma.h"

#include "Archivos.h"
#include "Intercambio.h"
#include "TablasSolicitud.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lorum {

namespace {

bool TieneCatalogos(const QString& carpeta) { return !carpeta.isEmpty() && ExisteArchivo(QDir(carpeta).filePath(QStringLiteral("CATPAIS.dbf"))); }

}  // namespace

QStringList ArchivosCompartidos() {
    QStringList a;
    for (const auto& t : tablas::TablasDeSolicitud()) a << t.plantilla;
    for (const auto& c : tablas::Catalogos()) a << c.archivo;
    a << tablas::kTodosLosPaises << QStringLiteral("considera.rtf") << QStringLiteral("rec/XYLOPHON.wav");
    return a;
}


CarpetaDatos EligeCarpetaDatos(const std::optional<QString>& opcion, const QString& entorno, const QString& programa,
                               const QString& usuario, const std::function<bool(const QString&)>& escribible) {
    const QString compartida = QDir::cleanPath(programa + QStringLiteral("/../share/lorum"));
    const bool propiaConCatalogos = TieneCatalogos(programa);
    const QString instalada = TieneCatalogos(compartida) ? compartida : propiaConCatalogos ? QDir::cleanPath(programa) : QString();
    auto en = [&](const QString& ruta) {
        const QString r = QDir::cleanPath(QDir(ruta).absolutePath());
        return CarpetaDatos{r, r == QDir::cleanPath(instalada) ? QString() : instalada};
    };
    if (opcion && !opcion->isEmpty()) return en(*opcion);
    if (!entorno.isEmpty()) return en(entorno);
    // A setup program marks its copy as installed: even where it can be written (an administrator,
    // Wine) it is only the source of each user's folder.
    const bool instalado = QFileInfo::exists(QDir(programa).filePath(kMarcaDeInstalacion));
    if (propiaConCatalogos && !instalado && escribible(programa)) return {QDir::cleanPath(programa), {}};
    return en(usuario);
}

QString LlenaCarpetaDatos(const QString& ruta, const QString& instalada) {
    const QDir destino(ruta), fuente(instalada);
    if (!QDir().mkpath(ruta)) return QStringLiteral("No se pudo crear el directorio de datos «%1».").arg(QDir::toNativeSeparators(ruta));
    for (const QString& archivo : ArchivosCompartidos()) {
        const qint64 instalado = Modificado(fuente.filePath(archivo), true);
        if (instalado < 0) continue;  // an install without the sounds still starts
        // Compared at the two seconds a FAT folder (a USB stick) keeps: a copy there is never older
        // than the installed file only because its time was rounded down.
        if (Modificado(destino.filePath(archivo), false) / 2000 >= instalado / 2000) continue;
        const QFileInfo de(fuente.filePath(archivo));
        const QFileInfo a(destino.filePath(archivo));
        QString error;
        const QByteArray bytes = LeeArchivo(de.filePath(), &error);
        if (!error.isEmpty()) return QStringLiteral("No se pudo leer «%1»: %2").arg(QDir::toNativeSeparators(de.filePath()), error);
        QDir().mkpath(a.path());
        const ResultadoCopia r = EscribeSobreNombre(a.filePath(), bytes);
        if (!r.ok) return QStringLiteral("No se pudo copiar «%1» al directorio de datos: %2").arg(archivo, r.mensaje);
        // The copy carries the installed file's time, so that only a newer install replaces it.
        QFile copia(a.filePath());
        if (copia.open(QIODevice::ReadWrite)) copia.setFileTime(de.lastModified(), QFileDevice::FileModificationTime);
    }
    for (const auto& t : tablas::TablasDeSolicitud()) {
        if (ExisteArchivo(destino.filePath(t.archivo))) continue;
        const ResultadoCopia r = CopiaTabla(destino.filePath(t.plantilla), destino.filePath(t.archivo));
        if (!r.ok) return QStringLiteral("No se pudo crear «%1» en el directorio de datos: %2").arg(t.archivo, r.mensaje);
    }
    return {};
}

}  // namespace lorum
