#include "ReglasCaptura.h"

#include "Numeros.h"

#include <charconv>
#include <cmath>

namespace lorum::reglas {

namespace {

constexpr int kRetroceso = 8;
constexpr int kEnter = 13;

const QString kLetrasConEspacio = QStringLiteral(" ABCDEFGHIJKLMNOPQRSTUVWXYZ");
const QString kLetras = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
const QString kLetrasConAmpersand = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ&");
const QString kDigitos = QStringLiteral("0123456789");
const QString kLetrasYDigitos = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
const QString kDigitosYA = QStringLiteral("0123456789A");
const QString kDigitosYPunto = QStringLiteral("0123456789.");

// Every set also lets Backspace through, so erasing is always possible.
int enConjunto(int tecla, const QString& conjunto) {
    if (tecla == kRetroceso) return tecla;
    return tecla > 0 && tecla < 0x10000 && conjunto.contains(QChar(char16_t(tecla))) ? tecla : 0;
}

int numero(const QString& texto, int desde, int cuantos) {
    bool ok = false;
    const int n = texto.mid(desde, cuantos).toInt(&ok);
    return ok ? n : 0;
}

}  // namespace

int SoloDigitos(int tecla) { return enConjunto(tecla, kDigitos); }
int DigitosYPunto(int tecla) { return enConjunto(tecla, kDigitosYPunto); }

int Recif(int tecla, int largo) {
    if (tecla == kEnter) return tecla;
    return largo + 1 <= 6 ? enConjunto(tecla, kDigitos) : tecla;
}

int Rfc(int tecla, int largo) {
    if (tecla == kEnter) return tecla;
    const int p = largo + 1;
    if (p == 1) return enConjunto(tecla, kLetrasConEspacio);
    if (p == 2 || p == 4) return enConjunto(tecla, kLetras);
    if (p == 3) return enConjunto(tecla, kLetrasConAmpersand);
    if (p <= 10) return enConjunto(tecla, kDigitos);
    if (p <= 12) return enConjunto(tecla, kLetrasYDigitos);
    if (p == 13) return enConjunto(tecla, kDigitosYA);
    return tecla;
}

int Fraccion(int tecla) { return tecla > 0 && tecla < 0x10000 && kDigitos.contains(QChar(char16_t(tecla))) ? tecla : 0; }

int DiasDelMes(int mes, int anio) {
    switch (mes) {
        case 1: case 3: case 5: case 7: case 8: case 10: case 12: return 31;
        case 4: case 6: case 9: case 11: return 30;
        case 2: return anio % 4 == 0 ? 29 : 28;
        default: return 0;
    }
}

ResultadoRfc VerificaRfc(const QString& rfc) {
    ResultadoRfc r;
    if (rfc.trimmed().isEmpty()) return r;  // the completeness check reports it
    if (rfc.size() < 13) {
        r.aceptado = false;
        r.mensaje = QStringLiteral(
            "El RFC no puede ser menor de 13 caracteres, para personas morales se deberá aumentar un espacio al inicio del RFC");
        return r;
    }
    const int mes = numero(rfc, 6, 2);
    if (mes > 12) {
        r.aceptado = false;
        r.mensaje = QStringLiteral("El valor del mes del RFC es incorrecto");
        return r;
    }
    const int dias = DiasDelMes(mes, numero(rfc, 4, 2));
    if (numero(rfc, 8, 2) > dias) {
        r.aceptado = false;
        r.mensaje = QStringLiteral("El mes que ha escrito no tiene más de %1 días.").arg(dias);
    }
    return r;
}

bool EsPersonaMoral(const QString& rfc) { return rfc.startsWith(u' '); }

std::optional<QChar> DigitoVerificadorRfc(const QString& rfc) {
    static const QString kValores = QStringLiteral("0123456789ABCDEFGHIJKLMN&OPQRSTUVWXYZ Ñ");
    if (rfc.size() != 13) return std::nullopt;
    int suma = 0;
    for (int i = 0; i < 12; ++i) {
        const qsizetype valor = kValores.indexOf(rfc[i].toUpper());
        if (valor < 0) return std::nullopt;
        suma += int(valor) * (13 - i);
    }
    const int resto = suma % 11;
    if (resto == 0) return QChar(u'0');
    return 11 - resto == 10 ? QChar(u'A') : QChar(u'0' + (11 - resto));
}

bool DigitoRfcNoCoincide(const QString& rfc) {
    const auto digito = DigitoVerificadorRfc(rfc);
    return digito && rfc.size() == 13 && rfc[12].toUpper() != *digito;
}

bool TramiteNoDisponible(const QString& nombreTramite) {
    return !nombreTramite.isEmpty() && nombreTramite.left(3).toUpper() == QLatin1String("MOD");
}

bool DestinoIncorrecto(const QString& nombreRegimen, const QString& nombreDestino) {
    return !nombreDestino.isEmpty() && nombreRegimen.left(4).toUpper() == QLatin1String("IMPO") &&
           nombreDestino.left(4).toUpper() == QLatin1String("EXPO");
}

QString CentraEncabezado(const QString& encabezado, int alineacion, int ancho,
                         const std::function<int(const QString&)>& mide) {
    if (alineacion == 2) return encabezado;
    const QString recortado = encabezado.trimmed();
    const int w = mide(recortado);
    if (ancho <= w) return recortado;
    const double mitad = (ancho - w) / 2.0;
    QString relleno(1, u' ');
    while (mide(relleno) < mitad) relleno += u' ';
    if (alineacion == 0) return relleno + recortado;
    if (alineacion == 1) return recortado + QString(relleno.size() - 1, u' ');
    return recortado;
}

bool EsNumerico(const QString& texto) {
    bool ok = false;
    texto.trimmed().toDouble(&ok);
    return ok;
}

QString ErrorCeldaPartida(int columna, const QString& valor) {
    const QString numeros = QStringLiteral("Debes ingresar números en este campo. Rectifica por favor");
    switch (columna) {
        case 3:
            if (valor.size() != 8)
                return QStringLiteral("La longitud de la fracción sólo puede ser de 8 digitos. ") +
                       QStringLiteral(" Rectifica por favor");
            return EsNumerico(valor) ? QString() : numeros;
        case 7:
        case 8:
            return EsNumerico(valor) ? QString() : numeros;
        default:
            return {};
    }
}

std::optional<double> PrecioUnitario(const QVariant& cantidad, const QVariant& total) {
    auto numeroDe = [](const QVariant& v) -> std::optional<double> {
        if (!v.isValid() || v.isNull()) return std::nullopt;
        if (v.typeId() == QMetaType::Double) return v.toDouble();
        bool ok = false;
        const double d = v.toString().trimmed().toDouble(&ok);
        return ok ? std::optional(d) : std::nullopt;
    };
    const double c = NumeroDeTexto(cantidad.toString());
    const auto t = numeroDe(total);
    if (!(c > 0) || !t) return std::nullopt;
    const double precio = CortaNumero(*t / c, 12);
    return std::isfinite(precio) ? std::optional(precio) : std::nullopt;
}

namespace {

// A number as its general decimal text reads back: rounded to 15 significant digits. The totals go
// through the boxes' text at every step; this gives the same values without building the texts.
double ComoTexto(double v) {
    if (!std::isfinite(v)) return 0;
    char b[40];
    const auto fin = std::to_chars(b, b + sizeof b, v, std::chars_format::scientific, 14).ptr;
    double leido = 0;
    std::from_chars(b, fin, leido);
    return leido;
}

double ValorDe(const QVariant& v) {
    return v.typeId() == QMetaType::Double ? ComoTexto(v.toDouble()) : NumeroDeTexto(v.toString());
}

}  // namespace

Totales SumaPartidas(const std::vector<std::pair<QVariant, QVariant>>& cantidadYTotal) {
    double cantidad = 0;
    double valor = 0;
    for (const auto& [c, t] : cantidadYTotal) {
        if (!c.isValid() || c.isNull()) continue;
        cantidad = ComoTexto(cantidad + ValorDe(c));
        valor = ComoTexto(valor + (t.isValid() && !t.isNull() ? ValorDe(t) : 0));
    }
    return {TextoDeNumero(cantidad), TextoDeNumero(valor)};
}

std::optional<QString> FormateaNumero(const QString& texto) {
    QString entera;
    qsizetype i = 0;
    for (; i < texto.size(); ++i) {
        if (texto[i] == u',') return std::nullopt;
        if (texto[i] == u'.') break;
        entera += texto[i];
    }
    const QString decimales = texto.mid(i);
    QString resultado;
    while (!entera.isEmpty()) {
        if (entera.size() < 4) {
            resultado.prepend(entera);
            entera.clear();
        } else {
            resultado.prepend(u',' + entera.right(3));
            entera.chop(3);
        }
    }
    return resultado + decimales;
}

QString AyudaColumnaPais(int columna) {
    switch (columna) {
        case 2: return QStringLiteral("Clave del país");
        case 3: return QStringLiteral("Nombre del país ");
        default: return {};
    }
}

QString TipColumnaPais(int columna) {
    switch (columna < 0 ? 3 : columna) {
        case 2: return QStringLiteral("Clave del país");
        case 3: return QStringLiteral("Seleccione el país");
        default: return {};
    }
}

}  // namespace lorum::reglas
