// Office Open XML (.xlsx) and OpenDocument (.ods) workbooks: a zip archive of XML parts, read as a
// stream so that memory follows the cells of columns A to F, not the size of the parts.

#include "Libro.h"

#include <QDateTime>
#include <QXmlStreamReader>
#include <cmath>
#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <type_traits>
#include <cstring>
#include <minizip/unzip.h>

namespace lorum {

namespace {

[[noreturn]] void Danado(const QString& que) { throw ErrorLibro(QStringLiteral("está dañado: %1").arg(que)); }

[[noreturn]] void Desproporcionado(const LimitesLibro& l) {
    throw ErrorLibro(QStringLiteral("está fuera de proporción (más de %1 partes, o más de %2 MB al descomprimirlo); "
                                    "no se lee.")
                         .arg(l.entradas)
                         .arg(l.inflado / (1024 * 1024)));
}

// The archive's bytes as the file minizip reads, through its own I/O functions: nothing is written
// to the disk and nothing is copied.
struct Memoria {
    const char* datos;
    quint64 tamano;
    quint64 posicion = 0;
};

voidpf AbreMemoria(voidpf opaco, const void*, int) { return opaco; }
uLong LeeMemoria(voidpf, voidpf flujo, void* destino, uLong n) {
    auto* m = static_cast<Memoria*>(flujo);
    const quint64 quedan = m->tamano - std::min(m->posicion, m->tamano);
    const uLong leidos = uLong(std::min<quint64>(n, quedan));
    if (leidos > 0) std::memcpy(destino, m->datos + m->posicion, leidos);
    m->posicion += leidos;
    return leidos;
}
uLong EscribeMemoria(voidpf, voidpf, const void*, uLong) { return 0; }
ZPOS64_T DondeMemoria(voidpf, voidpf flujo) { return static_cast<Memoria*>(flujo)->posicion; }
long MueveMemoria(voidpf, voidpf flujo, ZPOS64_T desplazamiento, int origen) {
    auto* m = static_cast<Memoria*>(flujo);
    quint64 base = 0;
    switch (origen) {
        case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
        case ZLIB_FILEFUNC_SEEK_CUR: base = m->posicion; break;
        case ZLIB_FILEFUNC_SEEK_END: base = m->tamano; break;
        default: return -1;
    }
    if (desplazamiento > m->tamano || base > m->tamano - desplazamiento) return -1;
    m->posicion = base + desplazamiento;
    return 0;
}
int CierraMemoria(voidpf, voidpf) { return 0; }
int ErrorMemoria(voidpf, voidpf) { return 0; }

// A part of the archive as a device that stops when the whole read exceeds the bound; a part whose
// check sum does not match is damaged.
class Parte : public QIODevice {
public:
    Parte(unzFile zip, qint64& leidos, qint64 limite) : zip_(zip), leidos_(leidos), limite_(limite) {}
    ~Parte() override {
        if (abierta_) unzCloseCurrentFile(zip_);
    }
    bool Abre() {
        abierta_ = unzOpenCurrentFile(zip_) == UNZ_OK;
        return abierta_ && open(QIODevice::ReadOnly);
    }
    bool excedido() const { return excedido_; }
    bool danada() const { return danada_; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* datos, qint64 max) override {
        if (!abierta_) return danada_ ? -1 : 0;  // read to its end already
        if (max <= 0) return 0;
        const int n = unzReadCurrentFile(zip_, datos, unsigned(std::min<qint64>(max, 1 << 20)));
        if (n < 0) {
            danada_ = true;
            return -1;
        }
        if (n == 0) {
            // At the end the check sum is compared.
            danada_ = unzCloseCurrentFile(zip_) != UNZ_OK;
            abierta_ = false;
            return danada_ ? -1 : 0;
        }
        if ((leidos_ += n) > limite_) {
            excedido_ = true;
            return -1;
        }
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    unzFile zip_;
    qint64& leidos_;
    qint64 limite_;
    bool abierta_ = false;
    bool excedido_ = false;
    bool danada_ = false;
};

class Archivo {
public:
    Archivo(const QByteArray& datos, const LimitesLibro& limites) : datos_(datos), memoria_{datos_.constData(), quint64(datos_.size())}, limites_(limites) {
        zlib_filefunc64_def funciones{};
        funciones.zopen64_file = AbreMemoria;
        funciones.zread_file = LeeMemoria;
        funciones.zwrite_file = EscribeMemoria;
        funciones.ztell64_file = DondeMemoria;
        funciones.zseek64_file = MueveMemoria;
        funciones.zclose_file = CierraMemoria;
        funciones.zerror_file = ErrorMemoria;
        funciones.opaque = &memoria_;
        dueno_.reset(unzOpen2_64("", &funciones));
        zip_ = dueno_.get();
        if (!zip_) Danado(QStringLiteral("el archivo comprimido no se puede abrir."));
        unz_global_info64 global{};
        if (unzGetGlobalInfo64(zip_, &global) != UNZ_OK) Danado(QStringLiteral("el archivo comprimido no se puede abrir."));
        if (global.number_entry > quint64(limites.entradas)) Desproporcionado(limites);
        for (int r = unzGoToFirstFile(zip_); r == UNZ_OK; r = unzGoToNextFile(zip_)) {
            unz_file_info64 info{};
            char nombre[1024];
            if (unzGetCurrentFileInfo64(zip_, &info, nombre, sizeof nombre, nullptr, 0, nullptr, 0) != UNZ_OK)
                Danado(QStringLiteral("el índice del archivo comprimido no se puede leer."));
            nombre[sizeof nombre - 1] = '\0';
            const QString n = QString::fromUtf8(nombre).toLower();
            if (!tamanos_.count(n))
                tamanos_[n] = {info.uncompressed_size > quint64(limites.inflado) ? -1 : qint64(info.uncompressed_size),
                               unzGetOffset64(zip_)};
        }
    }
    Archivo(const Archivo&) = delete;
    Archivo& operator=(const Archivo&) = delete;
    bool Tiene(const QString& nombre) const { return tamanos_.count(nombre.toLower()) > 0; }

    // Parses a part, calling `cada` for each token (until it returns false, when it returns a bool);
    // false when the part is not there.
    template <class F>
    bool Lee(const QString& nombre, F&& cada) {
        const auto it = tamanos_.find(nombre.toLower());
        if (it == tamanos_.end()) return false;
        if (it->second.tamano < 0 || it->second.tamano > limites_.inflado - leidos_) Desproporcionado(limites_);
        if (unzSetOffset64(zip_, it->second.posicion) != UNZ_OK) Danado(QStringLiteral("falta la parte «%1».").arg(nombre));
        Parte p(zip_, leidos_, limites_.inflado);
        if (!p.Abre()) Danado(QStringLiteral("la parte «%1» no se puede leer.").arg(nombre));
        QXmlStreamReader x(&p);
        while (!x.atEnd()) {
            x.readNext();
            if (x.hasError()) break;
            if constexpr (std::is_same_v<decltype(cada(x)), bool>) {
                if (!cada(x)) return true;
            } else {
                cada(x);
            }
        }
        if (p.excedido()) Desproporcionado(limites_);
        if (p.danada()) Danado(QStringLiteral("la parte «%1» no se puede descomprimir.").arg(nombre));
        if (x.hasError()) Danado(QStringLiteral("la parte «%1» no es XML válido (%2).").arg(nombre, x.errorString()));
        return true;
    }

private:
    struct Entrada {
        qint64 tamano;  // -1: beyond any bound
        ZPOS64_T posicion;
    };
    const QByteArray datos_;
    Memoria memoria_;
    // Closed however the reading ends, a refusal in the constructor too.
    struct Cierra {
        void operator()(void* z) const { unzClose(z); }
    };
    std::unique_ptr<void, Cierra> dueno_;
    unzFile zip_ = nullptr;
    LimitesLibro limites_;
    std::map<QString, Entrada> tamanos_;
    qint64 leidos_ = 0;
};

double Numero(QStringView t) {
    bool ok = false;
    const double d = t.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(d)) Danado(QStringLiteral("«%1» no es un número.").arg(t.left(40)));
    return d;
}

// An ISO date or date-time as a spreadsheet's serial number.
std::optional<double> SerieDeFecha(QStringView t) {
    QDateTime f = QDateTime::fromString(t.left(19).toString(), Qt::ISODate);
    if (!f.isValid()) f = QDateTime(QDate::fromString(t.left(10).toString(), Qt::ISODate), QTime(0, 0));
    if (!f.isValid()) return std::nullopt;
    double serie = double(QDate(1899, 12, 30).daysTo(f.date())) + f.time().msecsSinceStartOfDay() / 86400000.0;
    if (serie < 61) serie -= 1;  // spreadsheets count a 29th of February 1900
    return serie;
}

// A cell holds at most what a spreadsheet's cell can: longer texts are cut, so that spaces written
// as a count cannot make a small part a large text.
constexpr qsizetype kMaxTexto = 32767;
void Agrega(QString& a, QStringView b) {
    if (a.size() < kMaxTexto) a.append(b.left(kMaxTexto - a.size()));
}
void Agrega(QString& a, QChar c, qsizetype veces = 1) {
    if (a.size() < kMaxTexto) a.append(QString(std::min(veces, kMaxTexto - a.size()), c));
}

bool EsCodigoDeError(const QString& t) {
    static const QStringList codigos = {QStringLiteral("#NULL!"), QStringLiteral("#DIV/0!"), QStringLiteral("#VALUE!"),
                                        QStringLiteral("#REF!"),  QStringLiteral("#NAME?"),  QStringLiteral("#NUM!"),
                                        QStringLiteral("#N/A")};
    return codigos.contains(t);
}

// "B12" as column 1 and row 12; a missing part is -1.
std::pair<int, int> Referencia(QStringView r) {
    int col = 0, fila = 0;
    qsizetype i = 0;
    for (; i < r.size() && r[i].isLetter() && col <= 16384; ++i) col = col * 26 + (r[i].toUpper().unicode() - u'A' + 1);
    for (; i < r.size() && r[i].isDigit() && fila <= Hoja::kUltimaFila; ++i) fila = fila * 10 + r[i].digitValue();
    return {col - 1, fila > 0 ? fila : -1};
}

QString Atributo(const QXmlStreamReader& x, QLatin1StringView nombre) {
    for (const QXmlStreamAttribute& a : x.attributes())
        if (a.name() == nombre) return a.value().toString();
    return {};
}

// ---- Office Open XML ----

Libro LeeXlsx(Archivo& a, const LimitesLibro& limites) {
    struct Declarada {
        QString nombre, id;
    };
    Libro libro;
    libro.formato = FormatoLibro::Xlsx;
    // Only the chosen sheet is remembered of what the workbook declares, and the first names.
    std::optional<Declarada> elegida, unica;
    qint64 declaradas = 0;
    bool fecha1904 = false;
    a.Lee(QStringLiteral("xl/workbook.xml"), [&](QXmlStreamReader& x) {
        if (!x.isStartElement()) return;
        if (x.name() == QLatin1String("sheet")) {
            QString id;
            for (const QXmlStreamAttribute& at : x.attributes())
                if (at.name() == QLatin1String("id") && !at.namespaceUri().isEmpty()) id = at.value().toString();
            const Declarada d{Atributo(x, QLatin1String("name")).left(kMaxTexto), id.left(kMaxTexto)};
            if (libro.nombres.size() < 50) libro.nombres << d.nombre;
            if (++declaradas == 1) unica = d;
            if (!elegida && d.nombre.compare(kHojaDeMercancias, Qt::CaseInsensitive) == 0) elegida = d;
        } else if (x.name() == QLatin1String("workbookPr")) {
            const QString d = Atributo(x, QLatin1String("date1904"));
            fecha1904 = d == QLatin1String("1") || d == QLatin1String("true");
        }
    });
    if (!elegida && declaradas == 1) elegida = unica;
    if (!elegida) return libro;  // the other sheets are never read

    std::optional<QString> parteDeHoja;
    QString partesDeTextos = QStringLiteral("xl/sharedStrings.xml"), estilos = QStringLiteral("xl/styles.xml");
    auto ruta = [](QString t) {
        if (t.startsWith(u'/')) return t.mid(1);
        return QStringLiteral("xl/") + t;
    };
    a.Lee(QStringLiteral("xl/_rels/workbook.xml.rels"), [&](QXmlStreamReader& x) {
        if (!x.isStartElement() || x.name() != QLatin1String("Relationship")) return;
        const QString destino = ruta(Atributo(x, QLatin1String("Target")).left(kMaxTexto)), tipo = Atributo(x, QLatin1String("Type"));
        if (Atributo(x, QLatin1String("Id")) == elegida->id) parteDeHoja = destino;
        if (tipo.endsWith(QLatin1String("/sharedStrings"))) partesDeTextos = destino;
        if (tipo.endsWith(QLatin1String("/styles"))) estilos = destino;
    });
    if (!parteDeHoja) Danado(QStringLiteral("la hoja «%1» no está en el archivo.").arg(elegida->nombre));

    Hoja h;
    h.nombre = elegida->nombre;
    h.limite = limites.filas;
    // Kept cells that show a shared string, and numbers whose style may make them dates: both are
    // settled after the sheet, reading only the strings and styles those cells use.
    std::vector<std::pair<Celda*, quint32>> textos;
    std::vector<std::pair<Celda*, quint32>> numeros;
    int fila = 0, col = -1;
    // The cell being read.
    QString tipo, valor, enLinea;
    quint32 estilo = 0;
    bool hayValor = false, hayFormula = false, enV = false, enT = false;
    const bool esta = a.Lee(*parteDeHoja, [&](QXmlStreamReader& x) {
        if (h.terminada) return false;  // the list of items ended: the rest is not read
        if (x.isStartElement()) {
            const auto n = x.name();
            if (n == QLatin1String("row")) {
                const QString r = Atributo(x, QLatin1String("r"));
                fila = r.isEmpty() ? fila + 1 : r.toInt();
                col = -1;
            } else if (n == QLatin1String("c")) {
                const auto [c, f] = Referencia(Atributo(x, QLatin1String("r")));
                col = c >= 0 ? c : col + 1;
                if (f > 0) fila = f;
                tipo = Atributo(x, QLatin1String("t"));
                estilo = Atributo(x, QLatin1String("s")).toUInt();
                valor.clear(), enLinea.clear();
                hayValor = hayFormula = false;
            } else if (n == QLatin1String("v")) {
                enV = true;
            } else if (n == QLatin1String("f")) {
                hayFormula = true;
            } else if (n == QLatin1String("t")) {
                enT = true;
                hayValor = true;
            }
        } else if (x.isCharacters()) {
            if (enV) Agrega(valor, x.text());
            else if (enT) Agrega(enLinea, x.text());
        } else if (x.isEndElement()) {
            const auto n = x.name();
            if (n == QLatin1String("v")) {
                enV = false;
                // An empty value is none, unless it is a formula's empty text.
                hayValor = !valor.isEmpty() || tipo == QLatin1String("str");
            } else if (n == QLatin1String("t")) {
                enT = false;
            } else if (n == QLatin1String("c") && col < Hoja::kColumnas) {
                Celda c;
                std::optional<quint32> compartido;
                if (!hayValor) {
                    if (hayFormula) c.tipo = Celda::Tipo::SinCalcular;
                } else if (tipo == QLatin1String("s")) {
                    bool ok = false;
                    compartido = valor.trimmed().toUInt(&ok);
                    if (!ok) Danado(QStringLiteral("una celda usa un texto que el libro no tiene."));
                    c = Celda::DeTexto(QStringLiteral("?"));  // until the shared strings are read
                } else if (tipo == QLatin1String("inlineStr")) {
                    c = Celda::DeTexto(enLinea);
                } else if (tipo == QLatin1String("str")) {
                    c = Celda::DeTexto(valor);
                } else if (tipo == QLatin1String("b")) {
                    c = Celda::DeLogico(valor.trimmed() == QLatin1String("1") || valor.trimmed() == QLatin1String("true"));
                } else if (tipo == QLatin1String("e")) {
                    c = Celda::DeError(valor.trimmed());
                } else if (tipo == QLatin1String("d")) {
                    const auto s = SerieDeFecha(valor.trimmed());
                    c = s ? Celda::DeFecha(*s) : Celda::DeTexto(valor);
                } else {
                    c = Celda::DeNumero(Numero(valor));
                }
                c.formula = hayFormula;
                const bool esNumero = c.tipo == Celda::Tipo::Numero;
                if (Celda* puesta = h.pon(fila, col, std::move(c))) {
                    if (compartido) textos.emplace_back(puesta, *compartido);
                    if (esNumero && estilo > 0) numeros.emplace_back(puesta, estilo);
                }
            }
        }
        return true;
    });
    if (!esta) Danado(QStringLiteral("falta la hoja «%1».").arg(elegida->nombre));

    if (!textos.empty()) {
        std::sort(textos.begin(), textos.end(), [](const auto& x, const auto& y) { return x.second < y.second; });
        size_t k = 0;
        quint32 indice = 0;
        QString actual;
        int fonetica = 0;
        bool enTexto = false, guarda = false;
        a.Lee(partesDeTextos, [&](QXmlStreamReader& x) {
            if (k >= textos.size()) return;
            if (x.isStartElement()) {
                if (x.name() == QLatin1String("si")) actual.clear(), guarda = textos[k].second == indice;
                else if (x.name() == QLatin1String("rPh")) ++fonetica;
                else if (x.name() == QLatin1String("t")) enTexto = true;
            } else if (x.isEndElement()) {
                if (x.name() == QLatin1String("si")) {
                    for (; k < textos.size() && textos[k].second == indice; ++k) textos[k].first->texto = actual;
                    ++indice;
                } else if (x.name() == QLatin1String("rPh")) {
                    --fonetica;
                } else if (x.name() == QLatin1String("t")) {
                    enTexto = false;
                }
            } else if (x.isCharacters() && enTexto && guarda && fonetica == 0) {
                Agrega(actual, x.text());
            }
        });
        if (k < textos.size()) Danado(QStringLiteral("una celda usa un texto que el libro no tiene."));
    }

    if (!numeros.empty()) {
        // The number format of each style the numbers use, then whether each of those formats is a date's.
        std::map<quint32, int> formatoDe;
        for (const auto& n : numeros) formatoDe[n.second] = -1;
        quint32 xf = 0;
        bool enXfs = false;
        a.Lee(estilos, [&](QXmlStreamReader& x) {
            if (x.isStartElement() && x.name() == QLatin1String("cellXfs")) {
                enXfs = true;
            } else if (x.isEndElement() && x.name() == QLatin1String("cellXfs")) {
                enXfs = false;
            } else if (enXfs && x.isStartElement() && x.name() == QLatin1String("xf")) {
                if (const auto it = formatoDe.find(xf++); it != formatoDe.end())
                    it->second = Atributo(x, QLatin1String("numFmtId")).toInt();
            }
        });
        std::map<int, QString> formatos;
        for (const auto& [e, f] : formatoDe) formatos[f];
        a.Lee(estilos, [&](QXmlStreamReader& x) {
            if (!x.isStartElement() || x.name() != QLatin1String("numFmt")) return;
            if (const auto it = formatos.find(Atributo(x, QLatin1String("numFmtId")).toInt()); it != formatos.end())
                it->second = Atributo(x, QLatin1String("formatCode")).left(kMaxTexto);
        });
        for (const auto& [celda, e] : numeros) {
            const int f = formatoDe[e];
            if (f < 0 || !EsFormatoDeFecha(f, formatos[f])) continue;
            const bool formula = celda->formula;
            *celda = Celda::DeFecha(fecha1904 ? celda->numero + 1462 : celda->numero);
            celda->formula = formula;
        }
    }
    libro.hojas.push_back(std::move(h));
    return libro;
}

// ---- OpenDocument ----

// The cell styles of an OpenDocument file that show numbers as true or false: LibreOffice stores
// "=VERDADERO()" as the number 1 with such a style.
class EstilosLogicos {
public:
    // Takes the style declarations among the elements of styles.xml or content.xml.
    void Toma(const QXmlStreamReader& x) {
        if (!x.isStartElement()) return;
        if (x.name() == QLatin1String("boolean-style")) {
            logicos_.insert(Atributo(x, QLatin1String("name")).left(kMaxTexto));
        } else if (x.name() == QLatin1String("style") && Atributo(x, QLatin1String("family")) == QLatin1String("table-cell")) {
            const QString datos = Atributo(x, QLatin1String("data-style-name")).left(kMaxTexto);
            const QString padre = Atributo(x, QLatin1String("parent-style-name")).left(kMaxTexto);
            if (!datos.isEmpty() || !padre.isEmpty()) celdas_[Atributo(x, QLatin1String("name")).left(kMaxTexto)] = {datos, padre};
        }
    }
    bool EsLogico(QString estilo) const {
        for (int vueltas = 0; vueltas < 16 && !estilo.isEmpty(); ++vueltas) {
            const auto it = celdas_.find(estilo);
            if (it == celdas_.end()) return false;
            if (!it->second.first.isEmpty()) return logicos_.count(it->second.first) > 0;
            estilo = it->second.second;
        }
        return false;
    }

private:
    std::set<QString> logicos_;
    std::map<QString, std::pair<QString, QString>> celdas_;  // cell style: its data style and its parent
};

Libro LeeOds(Archivo& a, const LimitesLibro& limites) {
    Libro libro;
    libro.formato = FormatoLibro::Ods;
    EstilosLogicos estilos;
    a.Lee(QStringLiteral("styles.xml"), [&](QXmlStreamReader& x) { estilos.Toma(x); });
    // Only the items' sheet is kept: "Hoja1", or the first sheet until a second one shows there is
    // more than one. Other sheets are passed over without expanding anything they repeat.
    std::optional<Hoja> hoja;
    bool leyendo = false;
    qint64 tablas = 0;
    std::array<QString, Hoja::kColumnas> estiloDeColumna;
    QString estiloDeFila;
    qint64 columnas = 0;  // the columns declared so far, for their default styles
    qint64 fila = 0, col = 0, repiteFilas = 1, repiteCeldas = 1;
    Hoja::Fila renglon;
    bool renglonConDatos = false;
    Celda celda;
    bool enCelda = false, tomaTexto = false;  // the cell's text comes from its paragraphs
    int parrafos = 0, enP = 0, nota = 0;
    auto esHoja1 = [](const Hoja& h) { return h.nombre.compare(kHojaDeMercancias, Qt::CaseInsensitive) == 0; };
    const bool esta = a.Lee(QStringLiteral("content.xml"), [&](QXmlStreamReader& x) {
        const auto n = x.name();
        if (x.isStartElement()) {
            if (nota > 0 || n == QLatin1String("annotation")) {
                ++nota;  // a comment's text is not the cell's
                return;
            }
            if (n == QLatin1String("table") && x.namespaceUri().endsWith(QLatin1String(":table:1.0"))) {
                const QString nombre = Atributo(x, QLatin1String("name")).left(kMaxTexto);
                if (libro.nombres.size() < 50) libro.nombres << nombre;
                ++tablas;
                leyendo = false;
                if (hoja && esHoja1(*hoja)) return;
                hoja.reset();
                if (tablas == 1 || nombre.compare(kHojaDeMercancias, Qt::CaseInsensitive) == 0) {
                    hoja.emplace();
                    hoja->nombre = nombre;
                    hoja->limite = limites.filas;
                    leyendo = true;
                    fila = 0;
                    columnas = 0;
                    estiloDeColumna = {};
                }
                return;
            }
            if (!leyendo || hoja->terminada) {
                estilos.Toma(x);  // the automatic styles come before the sheets
                return;
            }
            if (n == QLatin1String("table-column")) {
                const qint64 repite = std::clamp<qint64>(Atributo(x, QLatin1String("number-columns-repeated")).toLongLong(), 1, 16384);
                const QString estilo = Atributo(x, QLatin1String("default-cell-style-name"));
                for (qint64 k = columnas; k < std::min<qint64>(columnas + repite, Hoja::kColumnas); ++k) estiloDeColumna[size_t(k)] = estilo;
                columnas += repite;
            } else if (n == QLatin1String("table-row")) {
                repiteFilas = std::clamp<qint64>(Atributo(x, QLatin1String("number-rows-repeated")).toLongLong(), 1, Hoja::kUltimaFila);
                estiloDeFila = Atributo(x, QLatin1String("default-cell-style-name"));
                col = 0;
                renglon = {};
                renglonConDatos = false;
            } else if (n == QLatin1String("table-cell") || n == QLatin1String("covered-table-cell")) {
                repiteCeldas = std::clamp<qint64>(Atributo(x, QLatin1String("number-columns-repeated")).toLongLong(), 1, 16384);
                celda = {};
                enCelda = true;
                tomaTexto = false;
                parrafos = 0;
                if (col >= Hoja::kColumnas) return;
                QString tipo, error, estilo;
                bool formula = false, logico = false;
                for (const QXmlStreamAttribute& at : x.attributes()) {
                    if (at.name() == QLatin1String("value-type")) {
                        if (at.namespaceUri().endsWith(QLatin1String(":office:1.0"))) tipo = at.value().toString();
                        else if (at.value() == QLatin1String("error")) error = QStringLiteral("error");
                        else if (at.value() == QLatin1String("boolean")) logico = true;  // LibreOffice's own kind
                    } else if (at.name() == QLatin1String("formula")) {
                        formula = true;
                    } else if (at.name() == QLatin1String("style-name")) {
                        estilo = at.value().toString();
                    }
                }
                if (estilo.isEmpty()) estilo = !estiloDeFila.isEmpty() ? estiloDeFila : estiloDeColumna[size_t(col)];
                auto valor = [&](const char* nombre) { return Atributo(x, QLatin1String(nombre)); };
                if (!error.isEmpty()) {
                    celda.tipo = Celda::Tipo::Error;
                    tomaTexto = true;
                } else if (tipo == QLatin1String("float") || tipo == QLatin1String("percentage") || tipo == QLatin1String("currency")) {
                    const double numero = Numero(valor("value"));
                    celda = logico || estilos.EsLogico(estilo) ? Celda::DeLogico(numero != 0) : Celda::DeNumero(numero);
                } else if (tipo == QLatin1String("date")) {
                    const auto s = SerieDeFecha(valor("date-value"));
                    if (!s) Danado(QStringLiteral("«%1» no es una fecha.").arg(valor("date-value").left(40)));
                    celda = Celda::DeFecha(*s);
                } else if (tipo == QLatin1String("time")) {
                    celda = Celda::DeFecha(0);
                    celda.texto = valor("time-value").left(40);
                } else if (tipo == QLatin1String("boolean")) {
                    celda = Celda::DeLogico(valor("boolean-value") == QLatin1String("true"));
                } else if (tipo == QLatin1String("string")) {
                    celda.tipo = Celda::Tipo::Texto;
                    if (x.attributes().hasAttribute(QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0"),
                                                    QStringLiteral("string-value")))
                        celda.texto = valor("string-value").left(kMaxTexto);
                    else
                        tomaTexto = true;
                    // Some writers store a formula's error as its text.
                    if (formula && EsCodigoDeError(celda.texto)) celda.tipo = Celda::Tipo::Error;
                } else if (formula) {
                    celda.tipo = Celda::Tipo::SinCalcular;
                } else {
                    tomaTexto = true;  // text without a declared kind is text
                }
                celda.formula = formula;
            } else if (enCelda && n == QLatin1String("p")) {
                ++enP;
                if (tomaTexto && parrafos++ > 0) Agrega(celda.texto, u'\n');
            } else if (enCelda && tomaTexto && n == QLatin1String("s")) {
                Agrega(celda.texto, u' ', std::max(1, Atributo(x, QLatin1String("c")).toInt()));
            } else if (enCelda && tomaTexto && n == QLatin1String("tab")) {
                Agrega(celda.texto, u'\t');
            } else if (enCelda && tomaTexto && n == QLatin1String("line-break")) {
                Agrega(celda.texto, u'\n');
            }
        } else if (x.isEndElement()) {
            if (nota > 0) {
                --nota;
                return;
            }
            if (!leyendo || hoja->terminada) return;
            if (n == QLatin1String("p") && enP > 0) {
                --enP;
                if (enP == 0 && celda.formula && celda.tipo == Celda::Tipo::Texto && EsCodigoDeError(celda.texto))
                    celda.tipo = Celda::Tipo::Error;
            } else if (n == QLatin1String("table-cell") || n == QLatin1String("covered-table-cell")) {
                enCelda = false;
                enP = 0;
                if (tomaTexto && celda.tipo == Celda::Tipo::Vacia && parrafos > 0) celda.tipo = Celda::Tipo::Texto;
                for (qint64 k = 0; k < repiteCeldas && col + k < Hoja::kColumnas; ++k) {
                    renglon[size_t(col + k)] = celda;
                    renglonConDatos = renglonConDatos || celda.tipo != Celda::Tipo::Vacia;
                }
                col += repiteCeldas;
            } else if (n == QLatin1String("table-row")) {
                // A repeated row is expanded only as far as the list of items goes.
                for (qint64 k = 0; renglonConDatos && !hoja->terminada && k < repiteFilas && fila + 1 + k <= Hoja::kUltimaFila; ++k)
                    for (int c = 0; c < Hoja::kColumnas; ++c) hoja->pon(int(fila + 1 + k), c, renglon[size_t(c)]);
                fila += repiteFilas;
            } else if (n == QLatin1String("table")) {
                leyendo = false;
            }
        } else if (x.isCharacters() && leyendo && enCelda && tomaTexto && enP > 0 && nota == 0) {
            Agrega(celda.texto, x.text());
        }
    });
    if (!esta) Danado(QStringLiteral("falta su contenido (content.xml)."));
    if (hoja && (esHoja1(*hoja) || tablas == 1)) libro.hojas.push_back(std::move(*hoja));
    return libro;
}

}  // namespace

Libro LeeZip(const QByteArray& datos, const LimitesLibro& limites) {
    Archivo a(datos, limites);
    if (a.Tiene(QStringLiteral("xl/workbook.xml"))) return LeeXlsx(a, limites);
    if (a.Tiene(QStringLiteral("content.xml"))) return LeeOds(a, limites);
    throw ErrorLibro(QStringLiteral("no es un libro de cálculo: guárdelo como .xlsx, .ods o .xls."));
}

}  // namespace lorum
