#include "InformeSistema.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>
#include <QSysInfo>

namespace lorum {

namespace {

QString Carpeta(const QString& titulo, const QString& ruta) {
    const QString nativa = QDir::toNativeSeparators(ruta);
    if (ruta.isEmpty()) return titulo + QStringLiteral(": (no definida)\n");
    const QFileInfo info(ruta);
    if (!info.isDir()) return QStringLiteral("%1: %2 (no existe)\n").arg(titulo, nativa);
    QString linea = QStringLiteral("%1: %2 (%3")
                        .arg(titulo, nativa,
                             info.isWritable() ? QStringLiteral("presente, se puede escribir")
                                               : QStringLiteral("presente, solo lectura"));
    const QStorageInfo disco(ruta);
    if (disco.isValid() && disco.isReady())
        linea +=
            QStringLiteral(", %1 libres")
                .arg(QLocale(QLocale::Spanish, QLocale::Mexico).formattedDataSize(disco.bytesAvailable()));
    return linea + QStringLiteral(")\n");
}

}  // namespace

QString InformeSistema(const QString& version, const QString& rutaDatos, const QString& unidadA) {
    QString t;
    t += QStringLiteral("Programa: LORUM, Disco de Captura, versión %1\n").arg(version);
    t += QStringLiteral("Sistema operativo: %1 (%2)\n")
             .arg(QSysInfo::prettyProductName(), QSysInfo::currentCpuArchitecture());
    t += QStringLiteral("Núcleo: %1 %2\n").arg(QSysInfo::kernelType(), QSysInfo::kernelVersion());
    t += QStringLiteral("Qt: %1\n").arg(QString::fromLatin1(qVersion()));
    t += Carpeta(QStringLiteral("Directorio de datos"), rutaDatos);
    t += Carpeta(QStringLiteral("Unidad de entrega"), unidadA);
    return t;
}

QString BuscaInfoSistema(const std::function<std::optional<QString>(const QString&, const QString&)>& lee,
                         const std::function<bool(const QString&)>& existe) {
    if (auto ruta = lee(QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"), QStringLiteral("PATH"));
        ruta && !ruta->isEmpty())
        return *ruta;
    if (auto carpeta =
            lee(QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"), QStringLiteral("MSINFO"));
        carpeta && !carpeta->isEmpty()) {
        QString ruta = *carpeta;
        if (!ruta.endsWith(u'\\')) ruta += u'\\';
        ruta += QStringLiteral("MSINFO32.EXE");
        if (existe(ruta)) return ruta;
    }
    return {};
}

}  // namespace lorum
