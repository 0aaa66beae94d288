#include "Archivos.h"

#include "ErrorTabla.h"
#include "TablaDbf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

namespace lorum {

QString ResuelveArchivo(const QString& directorio, const QString& nombre) {
    const QDir dir(directorio);
    const QString exacto = dir.filePath(nombre);
    QStringList iguales;
    const QStringList entradas = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entrada : entradas)
        if (entrada.compare(nombre, Qt::CaseInsensitive) == 0) iguales.append(entrada);
    if (iguales.size() > 1)
        throw ErrorTabla(QStringLiteral("En «%1» hay varios archivos que solo difieren en mayúsculas: %2. Deje solo uno.")
                             .arg(QDir::toNativeSeparators(directorio), iguales.join(QStringLiteral(", "))));
    return iguales.isEmpty() ? exacto : dir.filePath(iguales.front());
}

QString ResuelveRuta(const QString& ruta) {
    const QFileInfo info(ruta);
    return ResuelveArchivo(info.path(), info.fileName());
}

bool ExisteArchivo(const QString& ruta) { return QFileInfo(ResuelveRuta(ruta)).isFile(); }

bool AseguraDirectorio(const QString& directorio) {
#ifdef Q_OS_WIN
    Q_UNUSED(directorio);
    return true;  // the rename is made durable by the system
#else
    const int fd = ::open(QFile::encodeName(directorio).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
#endif
}

void CompruebaTabla(const QString& ruta, const DefinicionTabla& leidos) {
    LectorDbf lector(ResuelveRuta(ruta));
    QStringList faltan;
    for (const Campo& c : leidos) {
        const auto& campos = lector.campos();
        const bool esta = std::any_of(campos.begin(), campos.end(), [&](const Campo& k) {
            return k.nombre.compare(c.nombre, Qt::CaseInsensitive) == 0 && (k.tipo == c.tipo || (k.tipo == 'F' && c.tipo == 'N'));
        });
        if (!esta) faltan << QStringLiteral("«%1» (%2)").arg(c.nombre, QChar::fromLatin1(c.tipo));
    }
    if (!faltan.isEmpty())
        throw ErrorTabla(QStringLiteral("Tabla «%1»: no tiene %2 %3 que el programa lee.")
                             .arg(QFileInfo(ruta).fileName(),
                                  faltan.size() == 1 ? QStringLiteral("el campo") : QStringLiteral("los campos"),
                                  faltan.join(QStringLiteral(", "))));
    while (lector.Siguiente()) {
    }
}

ResultadoCopia CopiaTabla(const QString& origen, const QString& destino) {
    ResultadoCopia resultado;
    try {
        const QString desde = ResuelveRuta(origen);
        const QString hacia = ResuelveRuta(destino);
        const QString nombre = QFileInfo(hacia).fileName();
        QFile fuente(desde);
        if (!fuente.open(QIODevice::ReadOnly)) {
            resultado.mensaje = QStringLiteral("No se pudo leer «%1» para copiarlo sobre «%2» (%3).")
                                    .arg(QDir::toNativeSeparators(desde), nombre, fuente.errorString());
            return resultado;
        }
        const QByteArray bytes = fuente.readAll();
        if (fuente.error() != QFile::NoError) {
            resultado.mensaje = QStringLiteral("No se pudo leer «%1» (%2).").arg(QDir::toNativeSeparators(desde), fuente.errorString());
            return resultado;
        }
        QSaveFile copia(hacia);
        if (!copia.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || copia.write(bytes) != bytes.size() || !copia.commit()) {
            resultado.mensaje = QStringLiteral("No se pudo escribir «%1» (%2); el archivo quedó como estaba.")
                                    .arg(QDir::toNativeSeparators(hacia), copia.errorString());
            return resultado;
        }
        // The file was flushed before the rename; the folder's new entry must reach the disk too.
        if (!AseguraDirectorio(QFileInfo(hacia).path())) {
            resultado.mensaje = QStringLiteral("No se pudo asegurar «%1» en el disco.").arg(QDir::toNativeSeparators(hacia));
            TablaDbf::RecargaSiAbierta(hacia);
            return resultado;
        }
        TablaDbf::RecargaSiAbierta(hacia);
        resultado.ok = true;
    } catch (const ErrorTabla& e) {
        resultado.mensaje = e.mensaje();
    }
    return resultado;
}

}  // namespace lorum
