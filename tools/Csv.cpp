#include "Csv.h"

#include "ErrorTabla.h"

#include <QFile>

namespace lorum {

std::vector<QStringList> LeeCsv(const QString& ruta) {
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly))
        throw ErrorTabla(QStringLiteral("No se pudo leer «%1» (%2).").arg(ruta, archivo.errorString()));
    QString texto = QString::fromUtf8(archivo.readAll());
    if (texto.startsWith(QChar(0xFEFF))) texto.remove(0, 1);

    std::vector<QStringList> filas;
    QStringList fila;
    QString campo;
    bool entreComillas = false;
    bool hayAlgo = false;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto[i];
        if (entreComillas) {
            if (c == u'"') {
                if (i + 1 < texto.size() && texto[i + 1] == u'"') {
                    campo += u'"';
                    ++i;
                } else {
                    entreComillas = false;
                }
            } else {
                campo += c;
            }
        } else if (c == u'"') {
            entreComillas = true;
            hayAlgo = true;
        } else if (c == u',') {
            fila << campo;
            campo.clear();
            hayAlgo = true;
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < texto.size() && texto[i + 1] == u'\n') ++i;
            if (hayAlgo || !campo.isEmpty()) {
                fila << campo;
                filas.push_back(fila);
            }
            fila.clear();
            campo.clear();
            hayAlgo = false;
        } else {
            campo += c;
            hayAlgo = true;
        }
    }
    if (entreComillas) throw ErrorTabla(QStringLiteral("«%1»: hay comillas sin cerrar.").arg(ruta));
    if (hayAlgo || !campo.isEmpty()) {
        fila << campo;
        filas.push_back(fila);
    }
    return filas;
}

void AgregaCampoCsv(std::string& linea, std::string_view campo) {
    if (campo.find_first_of(",\"\r\n") == std::string_view::npos) {
        linea.append(campo);
        return;
    }
    linea.push_back('"');
    for (char c : campo) {
        if (c == '"') linea.push_back('"');
        linea.push_back(c);
    }
    linea.push_back('"');
}

}  // namespace lorum
