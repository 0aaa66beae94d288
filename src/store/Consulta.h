#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace lorum {

class TablaDbf;

// A criterion "campo = valor" or "campo Like 'texto*'". A quoted value runs from its opening quote to
// the closing quote that ends the text, so a quote spliced into the value is data, never syntax.
struct Criterio {
    enum class Operador { Igual, Como };
    QString campo;
    Operador operador = Operador::Igual;
    QString valor;
    bool citado = false;
};

// A record source: a table name, or "Select <* | campos> from <tabla> [where <criterio>]".
struct Consulta {
    QString tabla;
    std::vector<QString> columnas;  // empty for *
    std::optional<Criterio> donde;
};

// Parses a criterion or a record source; throws ErrorTabla naming the text when it is not one.
Criterio AnalizaCriterio(const QString& texto);
Consulta AnalizaFuente(const QString& fuente);

// A criterion bound to a table's field, ready to test records; matching is case-insensitive and
// ignores trailing blanks, as the period's engine did. An absent value matches nothing.
class Filtro {
public:
    Filtro() = default;
    Filtro(const TablaDbf& tabla, const Criterio& criterio);  // throws when the field does not exist
    bool Cumple(const TablaDbf& tabla, const char* registro) const;
    bool activo() const { return campo_ >= 0; }

private:
    int campo_ = -1;
    Criterio::Operador operador_ = Criterio::Operador::Igual;
    QString texto_;
    std::optional<double> numero_;
};

// Wildcard match of the period's Like: * any run, ? any one character, # one digit; case-insensitive.
bool CoincideComo(QStringView texto, QStringView patron);

}  // namespace lorum
