// Excel 5.0/95 (BIFF5) and 97-2003 (BIFF8) workbooks: the compound document that holds them, then
// the records of the workbook stream that carry the cells of columns A to F.

#include "Libro.h"
#include "PaginaCodigos.h"

#include <cmath>
#include <cstring>
#include <algorithm>
#include <optional>

namespace lorum {

namespace {

[[noreturn]] void Danado(const QString& que) { throw ErrorLibro(QStringLiteral("está dañado: %1").arg(que)); }
[[noreturn]] void Cortado() { Danado(QStringLiteral("el archivo está cortado.")); }

quint16 U16(const uchar* p) { return quint16(p[0] | p[1] << 8); }
quint32 U32(const uchar* p) { return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24; }
double F64(const uchar* p) {
    quint64 b = 0;
    for (int i = 7; i >= 0; --i) b = b << 8 | p[i];
    double d;
    std::memcpy(&d, &b, sizeof d);
    return d;
}

// A run of bytes whose every read is checked against its end.
struct Trozo {
    const uchar* p = nullptr;
    qsizetype n = 0;
    void pide(qsizetype en, qsizetype largo) const {
        if (en < 0 || largo < 0 || en > n || largo > n - en) Cortado();
    }
    quint8 u8(qsizetype en) const { return pide(en, 1), p[en]; }
    quint16 u16(qsizetype en) const { return pide(en, 2), U16(p + en); }
    quint32 u32(qsizetype en) const { return pide(en, 4), U32(p + en); }
    double f64(qsizetype en) const { return pide(en, 8), F64(p + en); }
};

// ---- The compound document ----

constexpr quint32 kFinCadena = 0xFFFFFFFE;
constexpr quint32 kLibre = 0xFFFFFFFF;

class Compuesto {
public:
    explicit Compuesto(const QByteArray& datos) : d_{reinterpret_cast<const uchar*>(datos.constData()), datos.size()} {
        if (d_.n < 512) Cortado();
        const quint16 orden = d_.u16(0x1C), turno = d_.u16(0x1E), miniTurno = d_.u16(0x20);
        if (orden != 0xFFFE || (turno != 9 && turno != 12) || miniTurno != 6)
            Danado(QStringLiteral("la cabecera del documento no es válida."));
        // The header takes the whole first sector: 512 bytes in version 3, 4096 in version 4.
        sector_ = qsizetype(1) << turno;
        sectores_ = std::max<qsizetype>(0, (d_.n - 1) / sector_);  // the last one may be short
        corte_ = d_.u32(0x38);
        const quint32 nFat = d_.u32(0x2C);
        if (nFat > sectores_) Danado(QStringLiteral("la tabla de sectores es más grande que el archivo."));
        // The sectors of the FAT: 109 in the header, the rest in the DIFAT chain.
        std::vector<quint32> sectoresFat;
        for (int i = 0; i < 109 && sectoresFat.size() < nFat; ++i) sectoresFat.push_back(d_.u32(0x4C + 4 * i));
        quint32 difat = d_.u32(0x44);
        const qsizetype porSector = sector_ / 4;
        for (qsizetype vueltas = 0; sectoresFat.size() < nFat; ++vueltas) {
            if (difat >= sectores_ || vueltas > sectores_) Danado(QStringLiteral("la cadena de la tabla de sectores no es válida."));
            const Trozo s = Sector(difat);
            for (qsizetype i = 0; i < porSector - 1 && sectoresFat.size() < nFat; ++i) sectoresFat.push_back(s.u32(4 * i));
            difat = s.u32(4 * (porSector - 1));
        }
        fat_.reserve(size_t(nFat * porSector));
        for (quint32 s : sectoresFat) {
            if (s >= sectores_) Danado(QStringLiteral("la tabla de sectores está fuera del archivo."));
            const Trozo t = Sector(s);
            for (qsizetype i = 0; i < porSector; ++i) fat_.push_back(t.u32(4 * i));
        }
        const QByteArray dir = Cadena(d_.u32(0x30), -1);
        const QByteArray mini = Cadena(d_.u32(0x3C), -1);
        for (qsizetype i = 0; i + 4 <= mini.size(); i += 4) minifat_.push_back(U32(reinterpret_cast<const uchar*>(mini.constData()) + i));
        for (qsizetype e = 0; e + 128 <= dir.size(); e += 128) entradas_.push_back(dir.mid(e, 128));
        if (entradas_.empty() || quint8(entradas_[0][66]) != 5) Danado(QStringLiteral("el documento no tiene directorio."));
    }

    // The first stream of those names (without regard to case), or nothing.
    std::optional<QByteArray> Flujo(std::initializer_list<QStringView> nombres) const {
        for (QStringView buscado : nombres) {
            for (const QByteArray& e : entradas_) {
                const uchar* p = reinterpret_cast<const uchar*>(e.constData());
                const quint16 largo = U16(p + 64);
                if (p[66] != 2 || largo < 2 || largo > 64) continue;
                const QString nombre = QString::fromUtf16(reinterpret_cast<const char16_t*>(e.constData()), largo / 2 - 1);
                if (nombre.compare(buscado, Qt::CaseInsensitive) != 0) continue;
                const qint64 tam = U32(p + 120);  // the high half is not used below 4 GB
                const quint32 inicio = U32(p + 116);
                if (tam >= corte_) return Cadena(inicio, tam);
                return Mini(inicio, tam);
            }
        }
        return std::nullopt;
    }

private:
    Trozo Sector(quint32 s) const {
        const qsizetype en = (qsizetype(s) + 1) * sector_;
        return {d_.p + en, std::min(sector_, d_.n - en)};
    }

    // The bytes of a chain of sectors: `tam` of them, or the whole chain when tam is negative.
    QByteArray Cadena(quint32 s, qint64 tam) const {
        if (tam > qint64(sectores_) * sector_) Danado(QStringLiteral("un flujo declara más bytes que el archivo."));
        QByteArray r;
        if (tam > 0) r.reserve(qsizetype(tam));
        std::vector<bool> visto(static_cast<size_t>(sectores_));
        while (s != kFinCadena && (tam < 0 || r.size() < tam)) {
            if (s >= sectores_ || s >= fat_.size()) Danado(QStringLiteral("una cadena de sectores sale del archivo."));
            if (visto[s]) Danado(QStringLiteral("una cadena de sectores vuelve sobre sí misma."));
            visto[s] = true;
            const Trozo t = Sector(s);
            r.append(reinterpret_cast<const char*>(t.p), t.n);
            s = fat_[s];
        }
        if (tam >= 0) {
            if (r.size() < tam) Cortado();
            r.truncate(qsizetype(tam));
        }
        return r;
    }

    QByteArray Mini(quint32 s, qint64 tam) const {
        if (miniFlujo_.isNull()) {
            const uchar* raiz = reinterpret_cast<const uchar*>(entradas_[0].constData());
            miniFlujo_ = Cadena(U32(raiz + 116), U32(raiz + 120));
        }
        if (tam > miniFlujo_.size()) Danado(QStringLiteral("un flujo declara más bytes que el archivo."));
        QByteArray r;
        r.reserve(qsizetype(tam));
        std::vector<bool> visto(minifat_.size());
        while (r.size() < tam) {
            if (s == kFinCadena || s == kLibre) Cortado();
            if (s >= minifat_.size() || qsizetype(s) * 64 + 64 > miniFlujo_.size())
                Danado(QStringLiteral("una cadena de sectores sale del archivo."));
            if (visto[s]) Danado(QStringLiteral("una cadena de sectores vuelve sobre sí misma."));
            visto[s] = true;
            r.append(miniFlujo_.constData() + qsizetype(s) * 64, 64);
            s = minifat_[s];
        }
        r.truncate(qsizetype(tam));
        return r;
    }

    Trozo d_;
    qsizetype sector_ = 512;
    qsizetype sectores_ = 0;
    quint32 corte_ = 4096;
    std::vector<quint32> fat_, minifat_;
    std::vector<QByteArray> entradas_;
    mutable QByteArray miniFlujo_;
};

// ---- Records ----

struct Registro {
    quint16 tipo;
    Trozo datos;
};

// Reads the records of the workbook stream one after another.
class Registros {
public:
    explicit Registros(const QByteArray& flujo) : f_{reinterpret_cast<const uchar*>(flujo.constData()), flujo.size()} {}
    void Ve(qsizetype en) {
        if (en < 0 || en >= f_.n) Danado(QStringLiteral("una hoja empieza fuera del libro."));
        en_ = en;
    }
    bool Fin() const { return en_ + 4 > f_.n; }
    Registro Siguiente() {
        const quint16 tipo = f_.u16(en_), largo = f_.u16(en_ + 2);
        f_.pide(en_ + 4, largo);
        Registro r{tipo, {f_.p + en_ + 4, largo}};
        en_ += 4 + largo;
        return r;
    }
    // The type of the next record, or 0 at the end.
    quint16 Proximo() const { return Fin() ? 0 : f_.u16(en_); }

private:
    Trozo f_;
    qsizetype en_ = 0;
};

constexpr quint16 kBof = 0x0809, kEof = 0x000A, kContinue = 0x003C;

// A record and the CONTINUE records after it, read as one run of bytes that knows where each part
// starts: a string's characters that go on in the next part start there with a new options byte.
class Partes {
public:
    void Agrega(const Trozo& t) { partes_.push_back(t); }
    bool Fin() {
        while (i_ < partes_.size() && en_ >= partes_[i_].n) ++i_, en_ = 0;
        return i_ >= partes_.size();
    }
    quint8 u8() {
        if (Fin()) Cortado();
        return partes_[i_].p[en_++];
    }
    quint16 u16() { return quint16(u8() | u8() << 8); }
    quint32 u32() { return quint32(u16()) | quint32(u16()) << 16; }
    // Bytes that may go on in the next part (an 8-bit string of Excel 5.0).
    QByteArray Bytes(quint32 n) {
        QByteArray r;
        r.reserve(qsizetype(std::min<quint32>(n, 65535)));
        while (n > 0) {
            if (Fin()) Cortado();
            const qsizetype aqui = std::min<qsizetype>(n, partes_[i_].n - en_);
            r.append(reinterpret_cast<const char*>(partes_[i_].p + en_), aqui);
            en_ += aqui;
            n -= quint32(aqui);
        }
        return r;
    }
    void Salta(quint64 n) {
        while (n > 0) {
            if (Fin()) Cortado();
            const quint64 aqui = std::min<quint64>(n, quint64(partes_[i_].n - en_));
            en_ += qsizetype(aqui);
            n -= aqui;
        }
    }
    // A string of BIFF8: `cch` characters, one or two bytes each as the options say; passed over
    // without keeping them unless `guarda`.
    QString Caracteres(quint32 cch, bool anchos, bool guarda) {
        QString s;
        if (guarda) s.reserve(qsizetype(std::min<quint32>(cch, 65535)));
        while (cch > 0) {
            if (i_ < partes_.size() && en_ >= partes_[i_].n) {  // the characters go on in the next part
                ++i_, en_ = 0;
                if (i_ >= partes_.size()) Cortado();
                anchos = u8() & 1;
            }
            if (i_ >= partes_.size()) Cortado();
            const Trozo& t = partes_[i_];
            const qsizetype cabe = (t.n - en_) / (anchos ? 2 : 1);
            if (cabe == 0) Cortado();
            const qsizetype n = std::min<qsizetype>(cabe, cch);
            if (guarda && anchos)
                s.append(QString::fromUtf16(reinterpret_cast<const char16_t*>(t.p + en_), n));
            else if (guarda)
                s.append(QString::fromLatin1(reinterpret_cast<const char*>(t.p + en_), n));
            en_ += n * (anchos ? 2 : 1);
            cch -= quint32(n);
        }
        return s;
    }
    // A whole BIFF8 string: its length (one or two bytes), options, characters, runs and extension.
    QString Cadena(bool largoDeDos, bool guarda = true) {
        const quint32 cch = largoDeDos ? u16() : u8();
        const quint8 op = u8();
        const quint16 corridas = (op & 0x08) ? u16() : 0;
        const quint32 extra = (op & 0x04) ? u32() : 0;
        QString s = Caracteres(cch, op & 1, guarda);
        Salta(quint64(corridas) * 4 + extra);
        return s;
    }

private:
    std::vector<Trozo> partes_;
    size_t i_ = 0;
    qsizetype en_ = 0;
};

QString CodigoDeError(quint8 e) {
    switch (e) {
        case 0x00: return QStringLiteral("#NULL!");
        case 0x07: return QStringLiteral("#DIV/0!");
        case 0x0F: return QStringLiteral("#VALUE!");
        case 0x17: return QStringLiteral("#REF!");
        case 0x1D: return QStringLiteral("#NAME?");
        case 0x24: return QStringLiteral("#NUM!");
        case 0x2A: return QStringLiteral("#N/A");
        default: return QStringLiteral("#ERROR");
    }
}

double DeRk(quint32 rk) {
    double d;
    if (rk & 2) {
        d = double(qint32(rk) >> 2);
    } else {
        const quint64 b = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&d, &b, sizeof d);
    }
    return (rk & 1) ? d / 100 : d;
}

// The Windows code page of a workbook's code page record.
int PaginaWindows(quint16 cp) {
    switch (cp) {
        case 367: return 20127;
        case 1200: return 1252;  // Unicode declared where every string is of one byte
        case 32768: return 10000;
        case 32769: return 1252;
        default: return cp;
    }
}

class LectorBiff {
public:
    LectorBiff(const QByteArray& flujo, const LimitesLibro& limites) : r_(flujo), limites_(limites) {}

    Libro Lee() {
        if (r_.Proximo() != kBof) Danado(QStringLiteral("no empieza como un libro de Excel."));
        const Registro bof = r_.Siguiente();
        const quint16 version = bof.datos.u16(0);
        if (version != 0x0600 && version != 0x0500)
            throw ErrorLibro(QStringLiteral("es de una versión de Excel que no se lee; guárdelo como Excel 97-2003 (.xls)."));
        biff8_ = version == 0x0600;
        Globales();
        Libro libro;
        libro.formato = FormatoLibro::Biff;
        // Only the items' sheet is read; the others are not even looked at.
        const std::pair<QString, qsizetype>* elegida = nullptr;
        for (const auto& hoja : hojas_) {
            if (libro.nombres.size() < 50) libro.nombres << hoja.first;
            if (!elegida && hoja.first.compare(kHojaDeMercancias, Qt::CaseInsensitive) == 0) elegida = &hoja;
        }
        if (!elegida) return libro;
        Hoja h;
        h.nombre = elegida->first;
        h.limite = limites_.filas;
        r_.Ve(elegida->second);
        Celdas(h);
        PonTextos();
        libro.hojas.push_back(std::move(h));
        return libro;
    }

private:
    QString Texto8(QByteArrayView bytes) {
        if (std::optional<QString> t = DecodificaPaginaWindows(PaginaWindows(pagina_), bytes)) return *std::move(t);
        if (std::optional<QString> t = DecodificaPaginaWindows(1252, bytes)) return *std::move(t);
        return QString::fromLatin1(bytes);
    }

    // A string with its length in one or two bytes, in the version's encoding.
    QString Cadena(Partes& p, bool largoDeDos) {
        if (biff8_) return p.Cadena(largoDeDos);
        return Texto8(p.Bytes(largoDeDos ? p.u16() : p.u8()));
    }
    // A string at `en` of one record.
    QString Cadena(const Trozo& t, qsizetype en, bool largoDeDos) {
        t.pide(en, 0);
        Partes p;
        p.Agrega({t.p + en, t.n - en});
        return Cadena(p, largoDeDos);
    }
    // A string at `en` of a record that may go on in the CONTINUE records after it.
    QString CadenaQueSigue(const Trozo& t, qsizetype en) {
        t.pide(en, 0);
        Partes p;
        p.Agrega({t.p + en, t.n - en});
        while (r_.Proximo() == kContinue) p.Agrega(r_.Siguiente().datos);
        return Cadena(p, true);
    }

    void Globales() {
        Partes& sst = sst_;
        bool enSst = false;
        while (!r_.Fin()) {
            const Registro g = r_.Siguiente();
            if (g.tipo != kContinue) enSst = false;
            switch (g.tipo) {
                case kEof: return;
                case 0x002F: throw ErrorLibro(QStringLiteral("está protegido con contraseña; guárdelo sin ella."));
                case 0x0042: pagina_ = g.datos.u16(0); break;
                case 0x0022: fecha1904_ = g.datos.u16(0) == 1; break;
                case 0x0085:
                    if (g.datos.u8(5) == 0) hojas_.emplace_back(Cadena(g.datos, 6, false), qsizetype(g.datos.u32(0)));
                    break;
                case 0x041E: formatos_[g.datos.u16(0)] = Cadena(g.datos, 2, biff8_); break;
                case 0x00E0: formatoDeXf_.push_back(g.datos.u16(2)); break;
                case 0x00FC:
                    sst.Agrega(g.datos);
                    enSst = true;
                    break;
                case kContinue:
                    if (enSst) sst.Agrega(g.datos);
                    break;
                default: break;
            }
        }
        Cortado();
    }

    // The shared strings the kept cells use, read from the table in one pass: the others are
    // skipped as they are read, so memory follows the cells kept, not the size of the table.
    void PonTextos() {
        if (pendientes_.empty()) return;
        std::sort(pendientes_.begin(), pendientes_.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
        Partes& p = sst_;
        size_t k = 0;
        if (!p.Fin()) {
            p.u32();
            const quint32 unicas = p.u32();
            for (quint32 i = 0; i < unicas && k < pendientes_.size() && !p.Fin(); ++i) {
                if (pendientes_[k].second != i) {
                    p.Cadena(true, false);
                    continue;
                }
                const QString t = p.Cadena(true);
                for (; k < pendientes_.size() && pendientes_[k].second == i; ++k) pendientes_[k].first->texto = t;
            }
        }
        if (k < pendientes_.size()) Danado(QStringLiteral("una celda usa un texto que el libro no tiene."));
    }

    bool EsFecha(quint16 xf) {
        if (xf >= formatoDeXf_.size()) return false;
        const quint16 f = formatoDeXf_[xf];
        const auto it = formatos_.find(f);
        return EsFormatoDeFecha(f, it == formatos_.end() ? QString() : it->second);
    }

    Celda Numero(double n, quint16 xf) {
        if (!EsFecha(xf)) return Celda::DeNumero(n);
        return Celda::DeFecha(fecha1904_ ? n + 1462 : n);
    }

    void Celdas(Hoja& h) {
        if (r_.Proximo() != kBof) Danado(QStringLiteral("la hoja «%1» no empieza donde el libro dice.").arg(h.nombre));
        r_.Siguiente();
        int anidado = 0;  // a chart inside the sheet has records of its own
        std::optional<std::pair<int, int>> formulaDeTexto;
        while (!r_.Fin()) {
            if (h.terminada) return;  // the list of items ended: the rest of the sheet is not needed
            const Registro c = r_.Siguiente();
            const Trozo& d = c.datos;
            if (c.tipo == kBof) {
                ++anidado;
                continue;
            }
            if (c.tipo == kEof) {
                if (anidado-- == 0) return;
                continue;
            }
            if (anidado > 0) continue;
            if (c.tipo == 0x0207) {  // STRING: the text result of the formula before it
                if (!formulaDeTexto) continue;
                Celda t = Celda::DeTexto(CadenaQueSigue(d, 0));
                t.formula = true;
                h.pon(formulaDeTexto->first, formulaDeTexto->second, std::move(t));
                formulaDeTexto.reset();
                continue;
            }
            const bool esCelda = c.tipo == 0x0203 || c.tipo == 0x027E || c.tipo == 0x00BD || c.tipo == 0x0204 ||
                                 c.tipo == 0x00D6 || c.tipo == 0x00FD || c.tipo == 0x0205 || c.tipo == 0x0006;
            if (!esCelda) continue;
            formulaDeTexto.reset();
            const int fila = d.u16(0) + 1, col = d.u16(2);
            if (col >= Hoja::kColumnas) continue;
            switch (c.tipo) {
                case 0x0203: h.pon(fila, col, Numero(d.f64(6), d.u16(4))); break;
                case 0x027E: h.pon(fila, col, Numero(DeRk(d.u32(6)), d.u16(4))); break;
                case 0x00BD:
                    // Pairs of format and number, then the last column.
                    for (qsizetype i = 0; 4 + 6 * (i + 1) <= d.n - 2 && col + i < Hoja::kColumnas; ++i)
                        h.pon(fila, col + int(i), Numero(DeRk(d.u32(6 + 6 * i)), d.u16(4 + 6 * i)));
                    break;
                case 0x0204:
                case 0x00D6: h.pon(fila, col, Celda::DeTexto(CadenaQueSigue(d, 6))); break;
                case 0x00FD: {
                    const quint32 i = d.u32(6);
                    // A placeholder text until the table of strings is read.
                    if (Celda* puesta = h.pon(fila, col, Celda::DeTexto(QStringLiteral("?")))) pendientes_.emplace_back(puesta, i);
                    break;
                }
                case 0x0205:
                    h.pon(fila, col, d.u8(7) ? Celda::DeError(CodigoDeError(d.u8(6))) : Celda::DeLogico(d.u8(6)));
                    break;
                case 0x0006: {
                    Celda f;
                    if (d.u16(12) != 0xFFFF) {
                        f = Numero(d.f64(6), d.u16(4));
                    } else {
                        switch (d.u8(6)) {
                            case 0:
                                f.tipo = Celda::Tipo::SinCalcular;  // until the STRING record after it
                                formulaDeTexto.emplace(fila, col);
                                break;
                            case 1: f = Celda::DeLogico(d.u8(8)); break;
                            case 2: f = Celda::DeError(CodigoDeError(d.u8(8))); break;
                            default: f = Celda::DeTexto({}); break;  // an empty text
                        }
                    }
                    f.formula = true;
                    h.pon(fila, col, std::move(f));
                    break;
                }
                default: break;
            }
        }
        Cortado();
    }

    Registros r_;
    LimitesLibro limites_;
    bool biff8_ = true;
    bool fecha1904_ = false;
    quint16 pagina_ = 1252;
    std::vector<std::pair<QString, qsizetype>> hojas_;
    std::map<quint16, QString> formatos_;
    std::vector<quint16> formatoDeXf_;
    Partes sst_;  // the table of shared strings, in place in the stream
    std::vector<std::pair<Celda*, quint32>> pendientes_;  // kept cells and the shared string each shows
};

}  // namespace

Libro LeeBiff(const QByteArray& datos, const LimitesLibro& limites) {
    if (datos.startsWith("\xD0\xCF\x11\xE0")) {
        const Compuesto c(datos);
        const auto flujo = c.Flujo({u"Workbook", u"Book"});
        if (!flujo) throw ErrorLibro(QStringLiteral("no es un libro de Excel: el documento no tiene hojas de cálculo."));
        return LectorBiff(*flujo, limites).Lee();
    }
    return LectorBiff(datos, limites).Lee();
}

}  // namespace lorum
