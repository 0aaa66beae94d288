#include "LectorRtf.h"

#include "PaginaCodigos.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <vector>

namespace lorum {

namespace {

enum class Destino { Texto, Fuentes, Saltar };

constexpr qsizetype kMaxNombreFuente = 256;  // longer than any font's name

// What a group carries: the character and paragraph formats, the fallback count of \uN and where its
// text goes. A closing brace brings back the enclosing group's.
struct Estado {
    bool negrita = false, cursiva = false, subrayado = false;
    int medioPuntos = 24;
    int fuente = -1;
    int uc = 1;
    Destino destino = Destino::Texto;
    AlineacionRtf alineacion = AlineacionRtf::Izquierda;
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0;
    QList<int> tx;
};

struct Fuente {
    QString nombre;
    FamiliaRtf familia = FamiliaRtf::Ninguna;
    int paginaCodigos = 0;  // from \fcharset; 0 when the document's own applies
};

constexpr int kMaxProfundidad = 1024;  // deeper groups share the state of the deepest one kept
constexpr int kMaxLetras = 32;

// The Windows code page of a font's character set, 0 for "the document's".
int PaginaDeJuego(int juego) {
    switch (juego) {
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 255:
            return 437;
        default:
            return 0;
    }
}

QString DecodificaBytes(const QByteArray& bytes, int pagina) {
    switch (pagina) {
        case 437:
            return Decodifica(bytes.constData(), bytes.size(), PaginaCodigos::Cp437);
        case 850:
            return Decodifica(bytes.constData(), bytes.size(), PaginaCodigos::Cp850);
        case 65001:
            return QString::fromUtf8(bytes);
        case 1252:
            break;
        default: {
            bool completo = false;
            std::optional<QString> s = DecodificaPaginaWindows(pagina, bytes, &completo);
            if (s && completo) return *std::move(s);
        }
    }
    return Decodifica(bytes.constData(), bytes.size(), PaginaCodigos::Cp1252);
}

int Acota(long long v, int minimo, int maximo) {
    return int(std::clamp<long long>(v, minimo, maximo));
}

class Lector {
  public:
    explicit Lector(const QByteArray& rtf) : d_(rtf) { pila_.emplace_back(); }

    DocumentoRtf Lee() {
        while (i_ < d_.size() && !terminado_) {
            const char c = d_[i_++];
            if (c == '{') {
                AbreGrupo();
            } else if (c == '}') {
                CierraGrupo();
            } else if (c == '\\') {
                Control();
            } else if (c == '\r' || c == '\n' || (uchar(c) < 0x20 && c != '\t')) {
                // line ends in the file are no text
            } else if (saltar_ > 0) {
                --saltar_;
            } else if (c == '\t') {
                Agrega(QStringLiteral("\t"));
            } else {
                AgregaByte(c);
            }
        }
        Vuelca();
        if (!parrafo_.tramos.isEmpty()) CierraParrafo();
        return std::move(doc_);
    }

  private:
    Estado& E() { return pila_.back(); }

    void AbreGrupo() {
        Vuelca();
        saltar_ = 0;  // a fallback never crosses a brace
        if (int(pila_.size()) >= kMaxProfundidad) {
            ++extra_;
            return;
        }
        pila_.push_back(pila_.back());
    }

    void CierraGrupo() {
        Vuelca();
        saltar_ = 0;
        if (extra_ > 0) {
            --extra_;
            return;
        }
        if (E().destino == Destino::Fuentes) GuardaNombreFuente();
        if (pila_.size() == 1) return;  // a brace closing nothing
        pila_.pop_back();
        if (pila_.size() == 1) terminado_ = true;  // the document's own group is closed
    }

    // A control word, symbol or \'hh after a backslash.
    void Control() {
        if (i_ >= d_.size()) return;
        const char c = d_[i_];
        if (c == '\'') {
            ++i_;
            int valor = 0, digitos = 0;
            while (digitos < 2 && i_ < d_.size() && std::isxdigit(uchar(d_[i_]))) {
                const char h = char(std::tolower(uchar(d_[i_])));
                valor = valor * 16 + (h <= '9' ? h - '0' : h - 'a' + 10);
                ++i_;
                ++digitos;
            }
            if (digitos < 2) return;  // a cut escape is no character
            if (saltar_ > 0) {
                --saltar_;
                return;
            }
            AgregaByte(char(valor));
            return;
        }
        if (!std::isalpha(uchar(c))) {
            ++i_;
            Simbolo(c);
            return;
        }
        QByteArray palabra;
        while (i_ < d_.size() && std::isalpha(uchar(d_[i_]))) {
            if (palabra.size() < kMaxLetras) palabra.append(d_[i_]);
            ++i_;
        }
        bool negativo = false, hayParametro = false;
        long long parametro = 0;
        if (i_ < d_.size() && d_[i_] == '-' && i_ + 1 < d_.size() && std::isdigit(uchar(d_[i_ + 1]))) {
            negativo = true;
            ++i_;
        }
        while (i_ < d_.size() && std::isdigit(uchar(d_[i_]))) {
            hayParametro = true;
            if (parametro < 10'000'000'000LL) parametro = parametro * 10 + (d_[i_] - '0');
            ++i_;
        }
        if (negativo) parametro = -parametro;
        if (i_ < d_.size() && d_[i_] == ' ') ++i_;
        Vuelca();
        if (palabra == "bin") {  // binary data: its bytes are no RTF
            i_ += std::clamp<long long>(parametro, 0, d_.size() - i_);
            return;
        }
        if (saltar_ > 0 && palabra != "u") {
            --saltar_;
            return;
        }
        Palabra(palabra, hayParametro, parametro);
    }

    void Simbolo(char c) {
        Vuelca();
        if (c == '*') {
            E().destino = Destino::Saltar;
            return;
        }
        if (c == '\r' || c == '\n') {
            if (saltar_ == 0) FinParrafo();
            return;
        }
        if (saltar_ > 0) {
            --saltar_;
            return;
        }
        switch (c) {
            case '\\':
            case '{':
            case '}':
                Agrega(QString(QLatin1Char(c)));
                break;
            case '~':
                Agrega(QString(QChar(0x00A0)));
                break;
            case '_':
                Agrega(QString(QChar(0x2011)));
                break;
            case '\t':
                Agrega(QStringLiteral("\t"));
                break;
            default:
                break;  // \- (optional hyphen), \| and \: show nothing
        }
    }

    void Palabra(const QByteArray& p, bool hay, long long v) {
        Estado& e = E();
        const int n = Acota(v, -1'000'000'000, 1'000'000'000);
        const bool activo = !hay || v != 0;
        // Destinations that hold no body text.
        static const char* const kSaltadas[] = {"colortbl",     "stylesheet", "info",
                                                "pict",         "header",     "headerl",
                                                "headerr",      "headerf",    "footer",
                                                "footerl",      "footerr",    "footerf",
                                                "object",       "listtable",  "listoverridetable",
                                                "revtbl",       "rsidtbl",    "filetbl",
                                                "xmlnstbl",     "themedata",  "colorschememapping",
                                                "latentstyles", "datastore",  "generator",
                                                "footnote",     "annotation", "fldinst",
                                                "nonshppict",   "shp",        "shpinst",
                                                "template",     "pgdsctbl",   "private",
                                                "xe",           "tc",         "bkmkstart",
                                                "bkmkend",      "userprops",  "docvar"};
        if (p == "fonttbl") {
            e.destino = Destino::Fuentes;
        } else if (std::any_of(std::begin(kSaltadas), std::end(kSaltadas),
                               [&](const char* s) { return p == s; })) {
            e.destino = Destino::Saltar;
        } else if (p == "uc") {
            e.uc = std::clamp(n, 0, 16);
        } else if (p == "u") {  // in font names too
            Unicode(v);
        } else if (e.destino == Destino::Fuentes) {
            PalabraDeFuentes(p, hay, n);
        } else if (p == "par" || p == "sect" || p == "page") {
            FinParrafo();
        } else if (p == "pard") {
            e.alineacion = AlineacionRtf::Izquierda;
            e.li = e.ri = e.fi = e.sb = e.sa = 0;
            e.tx.clear();
        } else if (p == "plain") {
            e.negrita = e.cursiva = e.subrayado = false;
            e.medioPuntos = 24;
            e.fuente = fuentePredeterminada_;
        } else if (p == "b") {
            e.negrita = activo;
        } else if (p == "i") {
            e.cursiva = activo;
        } else if (p == "ul" || p == "uld" || p == "uldb" || p == "ulw" || p == "uldash" || p == "ulth" ||
                   p == "ulwave") {
            e.subrayado = activo;
        } else if (p == "ulnone") {
            e.subrayado = false;
        } else if (p == "fs") {
            e.medioPuntos = hay ? std::clamp(n, 2, 3276) : 24;
        } else if (p == "f") {
            e.fuente = n;
        } else if (p == "deff") {
            fuentePredeterminada_ = n;
            if (e.fuente < 0) e.fuente = n;
        } else if (p == "ql") {
            e.alineacion = AlineacionRtf::Izquierda;
        } else if (p == "qc") {
            e.alineacion = AlineacionRtf::Centro;
        } else if (p == "qr") {
            e.alineacion = AlineacionRtf::Derecha;
        } else if (p == "qj") {
            e.alineacion = AlineacionRtf::Justificada;
        } else if (p == "li") {
            e.li = std::clamp(n, -31680, 31680);
        } else if (p == "ri") {
            e.ri = std::clamp(n, -31680, 31680);
        } else if (p == "fi") {
            e.fi = std::clamp(n, -31680, 31680);
        } else if (p == "sb") {
            e.sb = std::clamp(n, 0, 31680);
        } else if (p == "sa") {
            e.sa = std::clamp(n, 0, 31680);
        } else if (p == "tx" || p == "tb") {
            if (n > 0 && n <= 31680 && e.tx.size() < 64) e.tx.append(n);
        } else if (p == "ansicpg") {
            if (n > 0 && n < 70000) pagina_ = n;
        } else if (p == "ansi") {
            pagina_ = 1252;
        } else if (p == "mac") {
            pagina_ = 10000;
        } else if (p == "pc") {
            pagina_ = 437;
        } else if (p == "pca") {
            pagina_ = 850;
        } else if (p == "line") {
            Agrega(QString(QChar::LineSeparator));
        } else if (p == "tab") {
            Agrega(QStringLiteral("\t"));
        } else if (p == "cell" || p == "nestcell") {
            if (!parrafo_.tramos.isEmpty()) Agrega(QStringLiteral("\t"));
        } else if (p == "row" || p == "nestrow") {
            if (!parrafo_.tramos.isEmpty()) FinParrafo();
        } else {
            SimboloPalabra(p);
        }
    }

    void PalabraDeFuentes(const QByteArray& p, bool hay, int n) {
        if (p == "f" && hay) {
            GuardaNombreFuente();
            fuenteEnTabla_ = n;
            return;
        }
        Fuente& f = fuentes_[fuenteEnTabla_];
        static const std::pair<const char*, FamiliaRtf> kFamilias[] = {
            {"froman", FamiliaRtf::Romana},     {"fswiss", FamiliaRtf::Suiza},
            {"fmodern", FamiliaRtf::Fija},      {"fscript", FamiliaRtf::Manuscrita},
            {"fdecor", FamiliaRtf::Decorativa}, {"ftech", FamiliaRtf::Tecnica},
            {"fbidi", FamiliaRtf::Ninguna},     {"fnil", FamiliaRtf::Ninguna}};
        for (const auto& [palabra, familia] : kFamilias)
            if (p == palabra) f.familia = familia;
        if (p == "fcharset") f.paginaCodigos = PaginaDeJuego(n);
    }

    // Symbols written as control words.
    void SimboloPalabra(const QByteArray& p) {
        static const std::pair<const char*, char16_t> kSimbolos[] = {
            {"bullet", 0x2022},  {"endash", 0x2013},    {"emdash", 0x2014},    {"lquote", 0x2018},
            {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
            {"enspace", 0x2002}, {"qmspace", 0x2005},   {"zwj", 0x200D},       {"zwnj", 0x200C}};
        for (const auto& [palabra, caracter] : kSimbolos)
            if (p == palabra) Agrega(QString(QChar(caracter)));
    }

    void Unicode(long long v) {
        if (v < 0) v += 65536;
        if (v < 0 || v > 0x10FFFF) v = 0xFFFD;
        const char32_t cp = char32_t(v);
        if (QChar::isHighSurrogate(cp)) {
            alto_ = char16_t(cp);
        } else if (QChar::isLowSurrogate(cp)) {
            const char16_t par[2] = {alto_, char16_t(cp)};
            Agrega(alto_ ? QString(reinterpret_cast<const QChar*>(par), 2) : QString(QChar(0xFFFD)));
            alto_ = 0;
        } else {
            const char32_t uno[1] = {cp};
            Agrega(QString::fromUcs4(uno, 1));
        }
        saltar_ = E().uc;
    }

    // A text byte in the code page of the current font (or of the document).
    void AgregaByte(char b) {
        const int pagina = PaginaDeTexto();
        if (pagina != paginaBytes_) Vuelca();
        paginaBytes_ = pagina;
        bytes_.append(b);
    }

    int PaginaDeTexto() {
        const auto f = fuentes_.find(E().fuente);
        return f != fuentes_.end() && f->second.paginaCodigos ? f->second.paginaCodigos : pagina_;
    }

    // The pending code-page bytes as text.
    void Vuelca() {
        if (bytes_.isEmpty()) return;
        const QByteArray b = std::exchange(bytes_, {});
        Agrega(DecodificaBytes(b, paginaBytes_));
        paginaBytes_ = 0;
    }

    void Agrega(QString texto) {
        if (alto_ && !(texto.size() == 2 && texto[0].isHighSurrogate())) alto_ = 0;
        // Control characters from \'hh or \uN are no text; paragraphs end only at \par.
        texto.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t'; });
        texto.replace(QChar::ParagraphSeparator, QChar::LineSeparator);
        if (texto.isEmpty()) return;
        Estado& e = E();
        if (e.destino == Destino::Fuentes) {
            // Only the new piece is searched for the name's end, and a name is bounded: an entry
            // broken into many pieces costs linear time.
            const qsizetype fin = texto.indexOf(u';');
            const qsizetype cabe = std::max<qsizetype>(0, kMaxNombreFuente - nombreFuente_.size());
            nombreFuente_ += QStringView(texto).left(fin >= 0 ? fin : texto.size()).left(cabe);
            if (fin >= 0) GuardaNombreFuente();
            return;
        }
        if (e.destino != Destino::Texto) return;
        TramoRtf t;
        t.negrita = e.negrita;
        t.cursiva = e.cursiva;
        t.subrayado = e.subrayado;
        t.medioPuntos = e.medioPuntos;
        if (const auto f = fuentes_.find(e.fuente); f != fuentes_.end()) {
            t.fuente = f->second.nombre;
            t.familia = f->second.familia;
        }
        if (!parrafo_.tramos.isEmpty()) {
            TramoRtf& u = parrafo_.tramos.back();
            if (t.negrita == u.negrita && t.cursiva == u.cursiva && t.subrayado == u.subrayado &&
                t.medioPuntos == u.medioPuntos && t.fuente == u.fuente && t.familia == u.familia) {
                u.texto += texto;
                return;
            }
        }
        t.texto = texto;
        parrafo_.tramos.append(std::move(t));
    }

    void GuardaNombreFuente() {
        const QString nombre = std::exchange(nombreFuente_, {}).trimmed();
        if (!nombre.isEmpty()) fuentes_[fuenteEnTabla_].nombre = nombre;
    }

    void FinParrafo() {
        if (E().destino != Destino::Texto) return;
        CierraParrafo();
    }

    void CierraParrafo() {
        const Estado& e = E();
        parrafo_.alineacion = e.alineacion;
        parrafo_.sangriaIzq = e.li;
        parrafo_.sangriaDer = e.ri;
        parrafo_.primeraLinea = e.fi;
        parrafo_.espacioAntes = e.sb;
        parrafo_.espacioDespues = e.sa;
        parrafo_.tabuladores = e.tx;
        doc_.parrafos.append(std::exchange(parrafo_, {}));
    }

    const QByteArray& d_;
    qsizetype i_ = 0;
    std::vector<Estado> pila_;
    int extra_ = 0;
    bool terminado_ = false;
    int saltar_ = 0;     // fallback characters still to skip after a \uN
    char16_t alto_ = 0;  // a high surrogate waiting for its pair
    int pagina_ = 1252;  // the document's code page
    QByteArray bytes_;   // text bytes not yet decoded
    int paginaBytes_ = 0;
    int fuentePredeterminada_ = -1;
    std::map<int, Fuente> fuentes_;
    int fuenteEnTabla_ = 0;
    QString nombreFuente_;
    ParrafoRtf parrafo_;
    DocumentoRtf doc_;
};

}  // namespace

DocumentoRtf LeeRtf(const QByteArray& rtf) {
    return Lector(rtf).Lee();
}

QString TextoPlano(const DocumentoRtf& documento) {
    QString texto;
    for (const ParrafoRtf& p : documento.parrafos) {
        for (const TramoRtf& t : p.tramos) texto += t.texto;
        texto += u'\n';
    }
    return texto.replace(QChar::LineSeparator, u'\n');
}

}  // namespace lorum
