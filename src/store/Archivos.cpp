#include "Archivos.h"

#include "Durabilidad.h"
#include "ErrorTabla.h"
#include "TablaDbf.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>

#include <set>


namespace lorum {

QString ResuelveArchivo(const QString& directorio, const QString& nombre) {
    const QDir dir(directorio);
    const QString exacto = dir.filePath(nombre);
    QStringList iguales;
    auto coincide = [&](const QString& entrada) {
        return entrada.size() == nombre.size() && entrada.compare(nombre, Qt::CaseInsensitive) == 0;
    };
    for (const QString& entrada : plataforma::ArchivosDe(directorio))
        if (coincide(entrada)) iguales.append(entrada);
    iguales.sort();
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

namespace {

const QString kListaTemporales = QStringLiteral("lorum.temporales");

// Names already in a folder's list during this run, so that each is written there once.
std::set<QString>& anotados() {
    static std::set<QString> a;
    return a;
}

}  // namespace

void AnotaTemporal(const QString& ruta, Temporal tipo) {
    if (tipo == Temporal::SinAnotar || !anotados().insert(ruta).second) return;
    const QFileInfo info(ruta);
    QFile lista(QDir(info.path()).filePath(kListaTemporales));
    // Not flushed: a temporary lost with its line in a power cut is one the system lost too.
    if (lista.open(QIODevice::Append))
        lista.write((tipo == Temporal::Preparada ? "P " : "T ") + QUrl::toPercentEncoding(info.fileName()) + '\n');
}

namespace {

// Each line of the folder's list as its kind and a plain name of that folder: the list never
// reaches outside it.
std::vector<std::pair<char, QString>> LeeLista(const QString& carpeta) {
    QString error;
    std::vector<std::pair<char, QString>> r;
    for (const QByteArray& linea : LeeArchivo(QDir(carpeta).filePath(kListaTemporales), &error).split('\n')) {
        const QString nombre = QUrl::fromPercentEncoding(linea.mid(2));
        if (linea.size() < 3 || linea[1] != ' ' || nombre.isEmpty() || nombre.contains(u'/') || nombre.contains(u'\\') ||
            nombre == u".." || nombre == u"." || nombre == kListaTemporales)
            continue;
        r.emplace_back(linea[0], nombre);
    }
    return r;
}

}  // namespace

QStringList TemporalesAnotados(const QString& carpeta) {
    QStringList r;
    for (const auto& [tipo, nombre] : LeeLista(carpeta)) r << nombre;
    return r;
}

bool QuitaTemporales(const QString& carpeta) {
    const QDir dir(carpeta);
    bool preparada = false;
    for (const auto& [tipo, nombre] : LeeLista(carpeta)) {
        const QString ruta = dir.filePath(nombre);
        if (!QFileInfo(ruta).isFile() && !QFileInfo(ruta).isSymLink()) continue;
        preparada = preparada || tipo == 'P';
        QFile::remove(ruta);
    }
    QFile::remove(dir.filePath(kListaTemporales));
    for (auto it = anotados().begin(); it != anotados().end();)
        it = QFileInfo(*it).dir() == dir ? anotados().erase(it) : std::next(it);
    return preparada;
}

namespace {

// A table that replaces a working one must be exactly what its header says.
void CompruebaEncabezado(const QString& ruta) {
    QFile archivo(ruta);
    const QString nombre = QFileInfo(ruta).fileName();
    if (!archivo.open(QIODevice::ReadOnly))
        throw ErrorTabla(QStringLiteral("Tabla «%1»: no se pudo abrir (%2).").arg(nombre, archivo.errorString()));
    const EstructuraDbf e = LeeEstructura(archivo);
    auto falla = [&](const QString& que) {
        throw ErrorTabla(QStringLiteral("Tabla «%1»: %2; la tabla está dañada.").arg(nombre, que));
    };
    const int esperado = e.finDescriptores + 1;
    const bool visualFox = e.version >= 0x30 && e.version <= 0x32;  // 263 bytes of backlink follow
    if (!e.conTerminador) falla(QStringLiteral("a sus %1 campos no les sigue el terminador del encabezado").arg(e.campos.size()));
    if ((e.largoEncabezado != esperado && !(visualFox && e.largoEncabezado == esperado + 263)))
        falla(QStringLiteral("el encabezado dice medir %1 bytes y sus %2 campos con su terminador ocupan %3")
                  .arg(e.largoEncabezado).arg(e.campos.size()).arg(esperado));
    const Campo& ultimo = e.campos.back();
    const int largo = ultimo.desplazamiento + ultimo.ancho;
    if (e.largoRegistro != largo)
        falla(QStringLiteral("la longitud de registro del encabezado (%1) no es la de sus campos (%2)").arg(e.largoRegistro).arg(largo));
    const qint64 completos = (e.tamanoArchivo - e.largoEncabezado) / e.largoRegistro;
    if (completos < e.cuentaEncabezado)
        falla(QStringLiteral("el encabezado cuenta %1 registros y el archivo solo tiene %2 completos").arg(e.cuentaEncabezado).arg(completos));
}

}  // namespace

void CompruebaTabla(const QString& ruta, const DefinicionTabla& leidos) {
    CompruebaEncabezado(ResuelveRuta(ruta));
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
    qint64 vistos = 0;
    while (lector.Siguiente()) ++vistos;
    // An end mark where a counted record should begin hides the records after it.
    if (vistos < lector.cuenta())
        throw ErrorTabla(QStringLiteral("Tabla «%1»: el encabezado cuenta %2 registros y la marca de fin aparece tras %3; la tabla está dañada.")
                             .arg(QFileInfo(ruta).fileName()).arg(lector.cuenta()).arg(vistos));
}

QByteArray PalabraDeTexto(const QString& texto) {
    // A "-" of the text itself is encoded, so that it never reads back as the empty text.
    return texto.isEmpty() ? QByteArray("-") : QUrl::toPercentEncoding(texto, {}, "-");
}

QString TextoDePalabra(const QByteArray& palabra) { return palabra == "-" ? QString() : QUrl::fromPercentEncoding(palabra); }

QByteArray LeeArchivo(const QString& ruta, QString* error) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = f.errorString();
        return {};
    }
    QByteArray b = f.readAll();
    if (f.error() != QFile::NoError) *error = f.errorString();
    return b;
}

ResultadoCopia EscribeSobreNombre(const QString& ruta, const QByteArray& bytes, Temporal temporal) {
    ResultadoCopia r;
    const QString nativo = QDir::toNativeSeparators(ruta);
    const QFileInfo info(ruta);
    if ((info.exists() || info.isSymLink()) && !info.isSymLink() && !info.isFile()) {
        r.mensaje = QStringLiteral("En «%1» hay una carpeta u otra cosa que no es un archivo; no se escribió nada en su lugar.").arg(nativo);
        return r;
    }
    // The program's own name for the new file, so that what a kill leaves is known and reused.
    const QString nuevo = QDir(info.path()).filePath(QStringLiteral(".") + info.fileName() + QStringLiteral(".lorum-temporal"));
    AnotaTemporal(nuevo, temporal);
    QFile::remove(nuevo);
    QString motivo;
    if (!EscribeNuevo(nuevo, bytes, info.isFile() ? ruta : QString(), &motivo)) {
        QFile::remove(nuevo);
        r.mensaje = QStringLiteral("No se pudo escribir «%1» (%2); el archivo quedó como estaba.").arg(nativo, motivo);
        return r;
    }
    if (!Renombra(nuevo, ruta)) {
        QFile::remove(nuevo);
        r.mensaje = QStringLiteral("No se pudo escribir «%1»; el archivo quedó como estaba.").arg(nativo);
        return r;
    }
    r.escrito = true;
    if (!AseguraDirectorio(info.path())) {
        r.mensaje = QStringLiteral("No se pudo asegurar «%1» en el disco.").arg(nativo);
        return r;
    }
    r.ok = true;
    return r;
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
        resultado = EscribeSobreNombre(hacia, bytes);
        TablaDbf::RecargaSiAbierta(hacia);
        return resultado;
    } catch (const ErrorTabla& e) {
        resultado.mensaje = e.mensaje();
    }
    return resultado;
}

}  // namespace lorum
