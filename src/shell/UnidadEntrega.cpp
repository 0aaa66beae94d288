#include "UnidadEntrega.h"

#include <QDir>
#include <QLocale>
#include <QSettings>
#include <memory>

namespace lorum {

UnidadEntrega UnidadEntrega::Resuelve(const std::optional<QString>& opcion, const QString& entorno, const QString& elegida,
                                      const QString& predeterminada) {
    if (opcion && !opcion->isEmpty()) return {Origen::LineaDeOrdenes, *opcion};
    if (!entorno.isEmpty()) return {Origen::Entorno, entorno};
    if (!elegida.isEmpty()) return {Origen::Elegida, elegida};
    return {Origen::Predeterminada, predeterminada};
}

QString UnidadEntrega::Procedencia() const {
    switch (origen) {
        case Origen::LineaDeOrdenes: return QStringLiteral("dada en la línea de órdenes (--unidad-a)");
        case Origen::Entorno: return QStringLiteral("dada por la variable de entorno LORUM_UNIDAD_A");
        case Origen::Elegida: return QStringLiteral("elegida en «Unidad de entrega...»");
        case Origen::Predeterminada: break;
    }
    return QStringLiteral("la predeterminada; se elige otra en «Sistema» → «Unidad de entrega...»");
}

QString MedioExtraible::Texto() const {
    QString t = nombre + QStringLiteral(" — ") + carpeta;
    if (libre >= 0) t += QStringLiteral(" — %1 libres").arg(QLocale(QLocale::Spanish, QLocale::Mexico).formattedDataSize(libre, 1, QLocale::DataSizeTraditionalFormat));
    return t;
}

std::vector<MedioExtraible> MediosExtraibles(const std::vector<Volumen>& volumenes) {
    std::vector<MedioExtraible> r;
    for (const Volumen& v : volumenes) {
        const QString raiz = QDir::fromNativeSeparators(v.raiz);
        // Linux desktops mount a stick at /media/<user>/<label> (Debian) or /run/media/<user>/<label>.
        const bool montado = (raiz.startsWith(u"/media/") || raiz.startsWith(u"/run/media/")) && raiz.count(u'/') >= 3;
        const bool unidadA = raiz.compare(QStringLiteral("A:/"), Qt::CaseInsensitive) == 0;
        if (!v.listo || !(v.extraible || montado || unidadA)) continue;
        QString nombre = v.etiqueta;
        if (nombre.isEmpty()) nombre = QDir(raiz).dirName();
        if (nombre.isEmpty()) nombre = raiz.left(2);  // a drive's root
        r.push_back({nombre, QDir::toNativeSeparators(raiz), v.libre});
    }
    return r;
}

namespace {

const QString kClaveUnidad = QStringLiteral("Entrega/Unidad");
const QString kClaveRecientes = QStringLiteral("Solicitudes/Recientes");

std::unique_ptr<QSettings> Ajustes(const QString& archivo) {
    if (archivo.isEmpty()) return std::make_unique<QSettings>(QStringLiteral("LORUM"), QStringLiteral("LORUM"));
    return std::make_unique<QSettings>(archivo, QSettings::IniFormat);
}

}  // namespace

MediosDeEntrega::MediosDeEntrega(QString ajustes) : ajustes_(std::move(ajustes)) {}

QString MediosDeEntrega::Recordada() const { return Ajustes(ajustes_)->value(kClaveUnidad).toString(); }

void MediosDeEntrega::Recuerda(const QString& carpeta) { Ajustes(ajustes_)->setValue(kClaveUnidad, carpeta); }

QStringList MediosDeEntrega::Recientes() const { return Ajustes(ajustes_)->value(kClaveRecientes).toStringList(); }

void MediosDeEntrega::AgregaReciente(const QString& carpeta) {
    QStringList r = Recientes();
    const QString limpia = QDir::cleanPath(carpeta);
    r.removeAll(limpia);
    r.prepend(limpia);
    while (r.size() > kRecientes) r.removeLast();
    Ajustes(ajustes_)->setValue(kClaveRecientes, r);
}

}  // namespace lorum
