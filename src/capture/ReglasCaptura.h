#pragma once

#include <QString>
#include <functional>

namespace lorum::reglas {

// Key filters of the capture form. Each takes the key code (already upper case) and, where the
// position matters, the current length of the field's text; it gives the code to keep or 0.
int SoloDigitos(int tecla);                  // postal code and telephones; Enter refused
int DigitosYPunto(int tecla);                // fax
int Recif(int tecla, int largo);             // digits in positions 1 to 6, Enter passes
int Rfc(int tecla, int largo);               // by position, Enter passes
int Fraccion(int tecla);                     // digits only; Backspace too is discarded

// Outcome of the RFC check made when the focus leaves the RFC field.
struct ResultadoRfc {
    bool aceptado = true;
    QString mensaje;  // the refusal's text, empty when accepted or not tested
};
ResultadoRfc VerificaRfc(const QString& rfc);
// Days of a month as the check counts them (year 00 is a leap year; month 0 has 0 days).
int DiasDelMes(int mes, int anio);
bool EsPersonaMoral(const QString& rfc);  // a leading blank

// "MOD…" procedures cannot be chosen yet; an import regime cannot take an export destination.
bool TramiteNoDisponible(const QString& nombreTramite);
bool DestinoIncorrecto(const QString& nombreRegimen, const QString& nombreDestino);

// Centres a column heading with leading (left-aligned) or trailing (right-aligned) blanks, measured
// with `mide` in the same unit as `ancho`. Alignment: 0 left, 1 right, 2 centre, 3 general.
QString CentraEncabezado(const QString& encabezado, int alineacion, int ancho, const std::function<int(const QString&)>& mide);

}  // namespace lorum::reglas
