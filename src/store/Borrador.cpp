#include "Borrador.h"

#include "Durabilidad.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lorum {

namespace {

const QByteArray kMagia = "LORUM-BORRADOR " + QByteArray::number(Borrador::kVersion);

QByteArray Huella(QByteArrayView texto) { return QCryptographicHash::hash(texto, QCryptographicHash::Sha1).toHex(); }

}  // namespace

QByteArray Borrador::Texto() const {
    QByteArray t = kMagia + '\n';
    t += "HORA " + hora.toString(Qt::ISODate).toLatin1() + '\n';
    t += "PAGINA " + QByteArray::number(pagina) + '\n';
    for (const auto& [nombre, valor] : campos) t += "CAMPO " + PalabraDeTexto(nombre) + ' ' + PalabraDeTexto(valor) + '\n';
    return t + "FIN " + Huella(t) + '\n';
}

std::optional<Borrador> Borrador::DeTexto(const QByteArray& texto) {
    const qsizetype fin = texto.lastIndexOf("FIN ");
    if (!texto.startsWith(kMagia + '\n') || fin < 0 || (fin > 0 && texto[fin - 1] != '\n') ||
        texto.mid(fin + 4).trimmed() != Huella(QByteArrayView(texto).first(fin)))
        return std::nullopt;
    Borrador b;
    bool hora = false, pagina = false;
    const QList<QByteArray> lineas = texto.left(fin).split('\n');
    for (qsizetype i = 1; i < lineas.size(); ++i) {
        const QList<QByteArray> p = lineas[i].split(' ');
        if (lineas[i].isEmpty() && i == lineas.size() - 1) break;
        if (p.size() == 2 && p[0] == "HORA" && !hora) {
            b.hora = QDateTime::fromString(QString::fromLatin1(p[1]), Qt::ISODate);
            hora = b.hora.isValid();
            if (!hora) return std::nullopt;
        } else if (p.size() == 2 && p[0] == "PAGINA" && !pagina) {
            b.pagina = p[1].toInt(&pagina);
            if (!pagina || b.pagina < 0) return std::nullopt;
        } else if (p.size() == 3 && p[0] == "CAMPO" && p[1] != "-") {
            b.campos.emplace_back(TextoDePalabra(p[1]), TextoDePalabra(p[2]));
        } else {
            return std::nullopt;
        }
    }
    if (!hora || !pagina) return std::nullopt;
    return b;
}

ResultadoCopia GuardaBorrador(const QString& carpeta, const Borrador& borrador) {
    return EscribeSobreNombre(QDir(carpeta).filePath(Borrador::kArchivo), borrador.Texto());
}

std::optional<Borrador> LeeBorrador(const QString& carpeta, bool* danado) {
    const QString ruta = QDir(carpeta).filePath(Borrador::kArchivo);
    const QFileInfo info(ruta);
    if (danado) *danado = info.exists() || info.isSymLink();
    if (!info.isFile() || info.isSymLink()) return std::nullopt;
    QString error;
    const QByteArray texto = LeeArchivo(ruta, &error);
    std::optional<Borrador> b = error.isEmpty() ? Borrador::DeTexto(texto) : std::nullopt;
    if (danado) *danado = !b;
    return b;
}

bool ApartaBorrador(const QString& carpeta) {
    const QDir dir(carpeta);
    return Renombra(dir.filePath(Borrador::kArchivo), dir.filePath(Borrador::kArchivo + QStringLiteral(".danado"))) &&
           AseguraDirectorio(carpeta);
}

EscritorBorrador::EscritorBorrador(const QString& carpeta, std::function<void(const QString&)> alFallar)
    : carpeta_(carpeta), alFallar_(std::move(alFallar)) {
    hilo_ = std::thread([this] { Corre(); });
}

EscritorBorrador::~EscritorBorrador() {
    {
        const std::lock_guard<std::mutex> l(cerrojo_);
        fin_ = true;
    }
    aviso_.notify_all();
    hilo_.join();
}

void EscritorBorrador::Escribe(const Borrador& borrador) {
    // The temporary is named in the folder's list here, on the caller's thread, before its first write.
    if (!std::exchange(anotado_, true))
        AnotaTemporal(QDir(carpeta_).filePath(QStringLiteral(".") + Borrador::kArchivo + QStringLiteral(".lorum-temporal")));
    QByteArray texto = borrador.Texto();
    {
        const std::lock_guard<std::mutex> l(cerrojo_);
        pendiente_ = Paso::Escribir;
        texto_ = std::move(texto);
    }
    aviso_.notify_all();
}

void EscritorBorrador::Quita() {
    {
        const std::lock_guard<std::mutex> l(cerrojo_);
        pendiente_ = Paso::Quitar;
        texto_.clear();
    }
    aviso_.notify_all();
}

void EscritorBorrador::Espera() {
    std::unique_lock<std::mutex> l(cerrojo_);
    aviso_.wait(l, [this] { return pendiente_ == Paso::Nada && !ocupado_; });
}

void EscritorBorrador::Corre() {
    const QString ruta = QDir(carpeta_).filePath(Borrador::kArchivo);
    std::unique_lock<std::mutex> l(cerrojo_);
    for (;;) {
        aviso_.wait(l, [this] { return pendiente_ != Paso::Nada || fin_; });
        if (pendiente_ == Paso::Nada) return;  // the end, with nothing left to do
        const Paso paso = std::exchange(pendiente_, Paso::Nada);
        const QByteArray texto = std::exchange(texto_, {});
        ocupado_ = true;
        l.unlock();
        QString fallo;
        if (paso == Paso::Escribir) {
            // The temporary's name was listed when the writer was made.
            const ResultadoCopia r = EscribeSobreNombre(ruta, texto, Temporal::SinAnotar);
            if (!r.ok) fallo = r.mensaje;
        } else if (QFile::exists(ruta) && !(QFile::remove(ruta) && AseguraDirectorio(carpeta_))) {
            fallo = QStringLiteral("No se pudo quitar «%1».").arg(QDir::toNativeSeparators(ruta));
        }
        if (!fallo.isEmpty() && alFallar_) alFallar_(fallo);
        l.lock();
        ocupado_ = false;
        aviso_.notify_all();
    }
}

}  // namespace lorum
