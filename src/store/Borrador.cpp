#include "Borrador.h"

#include <QCryptographicHash>
#include <QDir>

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

std::optional<Borrador> LeeBorrador(const QString& carpeta) {
    QString error;
    const QByteArray texto = LeeArchivo(QDir(carpeta).filePath(Borrador::kArchivo), &error);
    if (!error.isEmpty()) return std::nullopt;
    return Borrador::DeTexto(texto);
}

}  // namespace lorum
