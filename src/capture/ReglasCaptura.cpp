#include "ReglasCaptura.h"

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

}  // namespace lorum::reglas
