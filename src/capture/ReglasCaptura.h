#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

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
// The RFC's check digit, from the values of its first 12 characters (a legal person's RFC with its
// leading blank): "0" to "9" or "A"; nothing when the RFC is not of 13 characters or holds a
// character the rule has no value for.
std::optional<QChar> DigitoVerificadorRfc(const QString& rfc);
// Whether a 13-character RFC ends in another character than its check digit. Some RFCs the authority
// issued do not keep the rule: this is a warning, never a refusal.
bool DigitoRfcNoCoincide(const QString& rfc);
inline const QString kAvisoDigitoRfc = QStringLiteral("El dígito verificador del RFC no coincide; revise el RFC.");

// "MOD…" procedures cannot be chosen yet; an import regime cannot take an export destination.
bool TramiteNoDisponible(const QString& nombreTramite);
bool DestinoIncorrecto(const QString& nombreRegimen, const QString& nombreDestino);

// Centres a column heading with leading (left-aligned) or trailing (right-aligned) blanks, measured
// with `mide` in the same unit as `ancho`. Alignment: 0 left, 1 right, 2 centre, 3 general.
QString CentraEncabezado(const QString& encabezado, int alineacion, int ancho, const std::function<int(const QString&)>& mide);

// Merchandise items.
// Whether a cell's text is a number as the item checks take it (blanks around it allowed).
bool EsNumerico(const QString& texto);
// The message for a wrong value of an item-grid cell (column by index), empty when it passes.
QString ErrorCeldaPartida(int columna, const QString& valor);
// The unit price of an item: Total / Cantidad cut to 12 characters of its text, or nothing (leave the
// cell as it is) when the quantity is not above 0 or the total is not a number.
std::optional<double> PrecioUnitario(const QVariant& cantidad, const QVariant& total);
// The item totals as the form shows them: items whose quantity is absent are left out; each sum goes
// through its text, as the total boxes hold it.
struct Totales {
    QString cantidad = QStringLiteral("0");
    QString valor = QStringLiteral("0");
};
Totales SumaPartidas(const std::vector<std::pair<QVariant, QVariant>>& cantidadYTotal);
// Thousands separators for an amount ("1234567.5" -> "1,234,567.5"); nothing when the text already
// has a separator before its decimal point and must be left as it is.
std::optional<QString> FormateaNumero(const QString& texto);

// Countries: the status-line help and the tool tip of a column of the country grid (-1: none).
QString AyudaColumnaPais(int columna);
QString TipColumnaPais(int columna);

}  // namespace lorum::reglas
