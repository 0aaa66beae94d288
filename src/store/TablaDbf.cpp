#include "TablaDbf.h"

#include "Archivos.h"
#include "ErrorTabla.h"
#include "Corte.h"
#include "Durabilidad.h"
#include "Numeros.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <map>

namespace lorum {

namespace {

constexpr char kFinArchivo = 0x1A;
constexpr int kMaxRegistroCreado = 4000;  // the limit of the period's engines

std::map<QString, std::weak_ptr<TablaDbf>>& registro() {
    static std::map<QString, std::weak_ptr<TablaDbf>> tablas;
    return tablas;
}

std::function<QDate()>& reloj() {
    static std::function<QDate()> r = [] { return QDate::currentDate(); };
    return r;
}

QString clave(const QString& ruta) {
    const QString canonica = QFileInfo(ruta).canonicalFilePath();
    return canonica.isEmpty() ? QFileInfo(ruta).absoluteFilePath() : canonica;
}

quint32 le32(const QByteArray& b, int i) {
    return quint32(quint8(b[i])) | quint32(quint8(b[i + 1])) << 8 | quint32(quint8(b[i + 2])) << 16 |
           quint32(quint8(b[i + 3])) << 24;
}
quint16 le16(const QByteArray& b, int i) { return quint16(quint8(b[i]) | quint8(b[i + 1]) << 8); }
void ponLe32(QByteArray& b, int i, quint32 v) {
    for (int k = 0; k < 4; ++k) b[i + k] = char((v >> (8 * k)) & 0xFF);
}
void ponLe16(QByteArray& b, int i, quint16 v) {
    b[i] = char(v & 0xFF);
    b[i + 1] = char(v >> 8);
}
QByteArray fechaEncabezado() {
    const QDate hoy = reloj()();
    QByteArray f(3, '\0');
    f[0] = char(std::clamp(hoy.year() - 1900, 0, 255));
    f[1] = char(hoy.month());
    f[2] = char(hoy.day());
    return f;
}

bool versionConocida(quint8 v) {
    const int baja = v & 0x07;
    return baja == 3 || baja == 4 || baja == 5 || v == 0x30 || v == 0x31 || v == 0x32;
}

QByteArray recorta(const char* p, int n) {
    int inicio = 0;
    while (inicio < n && (p[inicio] == ' ' || p[inicio] == '\0')) ++inicio;
    while (n > inicio && (p[n - 1] == ' ' || p[n - 1] == '\0')) --n;
    return QByteArray(p + inicio, n - inicio);
}

}  // namespace

TablaDbf::TablaDbf(QString ruta) : ruta_(std::move(ruta)) {}

void TablaDbf::FijaReloj(std::function<QDate()> r) {
    reloj() = r ? std::move(r) : [] { return QDate::currentDate(); };
}

QString TablaDbf::nombre() const { return QFileInfo(ruta_).fileName(); }

void TablaDbf::Falla(const QString& que) const {
    throw ErrorTabla(QStringLiteral("Tabla «%1»: %2").arg(QFileInfo(ruta_).fileName(), que));
}

std::shared_ptr<TablaDbf> TablaDbf::Abre(const QString& ruta) {
    const QString k = clave(ruta);
    auto& tablas = registro();
    if (auto it = tablas.find(k); it != tablas.end()) {
        if (auto compartida = it->second.lock()) {
            const QFileInfo info(k);
            if (info.lastModified() != compartida->sello_ || info.size() != compartida->selloTamano_)
                compartida->Carga();
            return compartida;
        }
    }
    auto tabla = std::shared_ptr<TablaDbf>(new TablaDbf(k));
    tabla->Carga();
    tablas[k] = tabla;
    return tabla;
}

void TablaDbf::RecargaSiAbierta(const QString& ruta) {
    auto& tablas = registro();
    if (auto it = tablas.find(clave(ruta)); it != tablas.end())
        if (auto compartida = it->second.lock()) compartida->Carga();
}

void TablaDbf::Crea(const QString& ruta, const DefinicionTabla& campos, std::optional<PaginaCodigos> pagina) {
    const QString nombre = QFileInfo(ruta).fileName();
    auto falla = [&](const QString& que) { throw ErrorTabla(QStringLiteral("Tabla «%1»: %2").arg(nombre, que)); };
    if (campos.empty() || campos.size() > 254) falla(QStringLiteral("debe tener entre 1 y 254 campos."));
    int largo = 1;
    for (const Campo& c : campos) {
        if (c.nombre.isEmpty() || c.nombre.size() > 10) falla(QStringLiteral("el nombre de campo «%1» no es válido.").arg(c.nombre));
        const bool numerico = c.tipo == 'N' || c.tipo == 'F';
        if (c.ancho < 1 || c.ancho > 254 || (numerico && (c.ancho > 19 || c.decimales < 0 || (c.decimales > 0 && c.decimales > c.ancho - 2))))
            falla(QStringLiteral("el campo «%1» tiene un ancho no válido.").arg(c.nombre));
        largo += c.ancho;
    }
    if (largo > kMaxRegistroCreado) falla(QStringLiteral("sus registros medirían más de 4000 caracteres."));

    const int largoEncabezado = 32 + 32 * int(campos.size()) + 1;
    QByteArray b(largoEncabezado, '\0');
    b[0] = 0x03;
    b.replace(1, 3, fechaEncabezado());
    ponLe32(b, 4, 0);
    ponLe16(b, 8, quint16(largoEncabezado));
    ponLe16(b, 10, quint16(largo));
    b[29] = char(pagina ? MarcaDePagina(*pagina) : 0);
    int desplazamiento = 1;
    for (size_t i = 0; i < campos.size(); ++i) {
        const Campo& c = campos[i];
        const int p = 32 + 32 * int(i);
        const QByteArray n = c.nombre.toUpper().toLatin1();
        b.replace(p, n.size(), n);
        b[p + 11] = c.tipo;
        ponLe32(b, p + 12, quint32(desplazamiento));
        b[p + 16] = char(c.ancho);
        b[p + 17] = char(c.decimales);
        desplazamiento += c.ancho;
    }
    b[largoEncabezado - 1] = 0x0D;
    b.append(kFinArchivo);

    if (const ResultadoCopia r = EscribeSobreNombre(ruta, b, Temporal::SinAnotar); !r.ok) throw ErrorTabla(r.mensaje);
    RecargaSiAbierta(ruta);
}

EstructuraDbf LeeEstructura(QFile& archivo) {
    const QString nombre = QFileInfo(archivo.fileName()).fileName();
    auto falla = [&](const QString& que) { throw ErrorTabla(QStringLiteral("Tabla «%1»: %2").arg(nombre, que)); };
    const qint64 tamano = archivo.size();
    // The header is at most 65535 bytes; the records are read afterwards, straight into place.
    const QByteArray b = archivo.read(std::min<qint64>(tamano, 65536));
    if (b.size() < 32) falla(QStringLiteral("el archivo es demasiado corto para ser una tabla."));
    const quint8 version = quint8(b[0]);
    if (!versionConocida(version))
        falla(QStringLiteral("no es una tabla dBase o FoxPro (versión 0x%1).").arg(version, 2, 16, QLatin1Char('0')));
    EstructuraDbf e;
    const quint32 cuenta = le32(b, 4);
    e.largoEncabezado = le16(b, 8);
    e.largoRegistro = le16(b, 10);
    e.version = version;
    e.cuentaEncabezado = cuenta;
    e.tamanoArchivo = tamano;
    if (e.largoEncabezado < 64 || e.largoEncabezado > b.size())
        falla(QStringLiteral("el encabezado está dañado (dice medir %1 bytes y el archivo tiene %2).").arg(e.largoEncabezado).arg(tamano));

    int desplazamiento = 1;
    int p = 32;
    for (; p + 32 <= e.largoEncabezado; p += 32) {
        if (b[p] == 0x0D || b[p] == '\0') break;
        QByteArray nombreCampo = b.mid(p, 11);
        if (const auto fin = nombreCampo.indexOf('\0'); fin >= 0) nombreCampo.truncate(fin);
        nombreCampo = nombreCampo.trimmed();
        const bool legible = !nombreCampo.isEmpty() &&
            std::all_of(nombreCampo.begin(), nombreCampo.end(), [](char ch) { return ch > 0x20 && ch < 0x7F; });
        if (!legible) falla(QStringLiteral("el campo %1 tiene un nombre ilegible.").arg(e.campos.size() + 1));
        Campo c;
        c.nombre = QString::fromLatin1(nombreCampo);
        c.tipo = char(QChar::toUpper(uint(quint8(b[p + 11]))));
        c.ancho = quint8(b[p + 16]);
        c.decimales = quint8(b[p + 17]);
        if (c.tipo == 'C') {  // FoxPro keeps the high byte of long text widths in the decimals byte
            c.ancho |= c.decimales << 8;
            c.decimales = 0;
        }
        if (c.ancho == 0) falla(QStringLiteral("el campo «%1» tiene ancho 0.").arg(c.nombre));
        c.desplazamiento = desplazamiento;
        desplazamiento += c.ancho;
        e.campos.push_back(c);
    }
    e.finDescriptores = p;
    e.conTerminador = p < e.largoEncabezado && b[p] == 0x0D;
    if (e.campos.empty()) falla(QStringLiteral("no tiene campos."));
    if (e.largoRegistro < desplazamiento)
        falla(QStringLiteral("la longitud de registro del encabezado (%1) no alcanza para sus campos (%2).")
                  .arg(e.largoRegistro).arg(desplazamiento));
    // Only whole records that both the header and the file size vouch for.
    e.numRegistros = std::min<qint64>(cuenta, (tamano - e.largoEncabezado) / e.largoRegistro);
    e.marca = PaginaDeMarca(quint8(b[29]));
    return e;
}

static PaginaCodigos PaginaDeDatos(const EstructuraDbf& e, const char* registros, qint64 n) {
    if (e.marca) return *e.marca;
    QByteArray muestra;
    for (qint64 i = 0; i < std::min<qint64>(n, 2000); ++i)
        for (const Campo& c : e.campos)
            if (c.tipo == 'C') muestra.append(registros + i * e.largoRegistro + c.desplazamiento, c.ancho);
    return AdivinaPagina(muestra);
}

void TablaDbf::Carga() {
    QFile archivo(ruta_);
    if (!archivo.open(QIODevice::ReadOnly)) Falla(QStringLiteral("no se pudo abrir (%1).").arg(archivo.errorString()));
    EstructuraDbf e = LeeEstructura(archivo);
    qint64 n = e.numRegistros;
    QByteArray datos(n * e.largoRegistro, Qt::Uninitialized);
    if (!archivo.seek(e.largoEncabezado) || archivo.read(datos.data(), datos.size()) != datos.size())
        Falla(QStringLiteral("no se pudo leer (%1).").arg(archivo.errorString()));
    // An end mark where a record should begin ends the table.
    qint64 borrados = 0;
    for (qint64 i = 0; i < n; ++i) {
        const char bandera = datos.constData()[i * e.largoRegistro];
        if (bandera == kFinArchivo) {
            n = i;
            datos.truncate(n * e.largoRegistro);
            break;
        }
        borrados += bandera == '*';
    }

    pagina_ = PaginaDeDatos(e, datos.constData(), n);
    campos_ = std::move(e.campos);
    largoEncabezado_ = e.largoEncabezado;
    largoRegistro_ = e.largoRegistro;
    numRegistros_ = n;
    numBorrados_ = borrados;
    datos_ = std::move(datos);
    ++generacion_;
    Sella();
}

LectorDbf::LectorDbf(const QString& ruta) : archivo_(ruta) {
    if (!archivo_.open(QIODevice::ReadOnly))
        throw ErrorTabla(QStringLiteral("Tabla «%1»: no se pudo abrir (%2).").arg(QFileInfo(ruta).fileName(), archivo_.errorString()));
    estructura_ = LeeEstructura(archivo_);
    archivo_.seek(estructura_.largoEncabezado);
    Llena();
    pagina_ = PaginaDeDatos(estructura_, bloque_.constData(), bloque_.size() / estructura_.largoRegistro);
}

void LectorDbf::Llena() {
    // Whole records only, about a megabyte at a time, into the same buffer.
    const qint64 porBloque = std::max<qint64>(1, (1 << 20) / estructura_.largoRegistro);
    const qint64 cuantos = std::min(porBloque, estructura_.numRegistros - leidos_);
    bloque_.resize(cuantos * estructura_.largoRegistro);
    const qint64 obtenidos = cuantos > 0 ? archivo_.read(bloque_.data(), bloque_.size()) : 0;
    bloque_.resize(std::max<qint64>(0, obtenidos) / estructura_.largoRegistro * estructura_.largoRegistro);
    leidos_ += bloque_.size() / estructura_.largoRegistro;
    posicion_ = 0;
}

const char* LectorDbf::Siguiente() {
    if (fin_) return nullptr;
    if (posicion_ >= bloque_.size()) {
        if (leidos_ >= estructura_.numRegistros) return fin_ = true, nullptr;
        Llena();
        if (bloque_.isEmpty()) return fin_ = true, nullptr;
    }
    const char* registro = bloque_.constData() + posicion_;
    if (registro[0] == kFinArchivo) return fin_ = true, nullptr;
    posicion_ += estructura_.largoRegistro;
    return registro;
}

void TablaDbf::Sella() {
    const QFileInfo info(ruta_);
    sello_ = info.lastModified();
    selloTamano_ = info.size();
}

int TablaDbf::IndiceCampo(QStringView nombre) const {
    nombre = nombre.trimmed();
    for (size_t i = 0; i < campos_.size(); ++i)
        if (nombre.compare(campos_[i].nombre, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

QVariant TablaDbf::Valor(qint64 registro, int campo) const {
    return ValorDe(Registro(registro), campos_[size_t(campo)], pagina_);
}

QVariant TablaDbf::ValorDe(const char* registro, const Campo& campo, PaginaCodigos pagina) {
    const char* p = registro + campo.desplazamiento;
    switch (campo.tipo) {
        case 'C': {
            int n = campo.ancho;
            while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\0')) --n;
            if (n == 0) return {};
            return Decodifica(p, n, pagina);
        }
        case 'N':
        case 'F': {
            QByteArray t = recorta(p, campo.ancho);
            if (t.isEmpty() || t.count('*') == t.size()) return {};  // blank, or the overflow mark
            if (t.contains(',')) {
                if (t.contains('.')) t.replace(",", "");
                else t.replace(',', '.');
            }
            bool ok = false;
            const double v = t.toDouble(&ok);
            return ok && std::isfinite(v) ? QVariant(v) : QVariant();
        }
        case 'D': {
            const QByteArray t = recorta(p, campo.ancho);
            const QDate fecha = QDate::fromString(QString::fromLatin1(t), QStringLiteral("yyyyMMdd"));
            return fecha.isValid() ? QVariant(fecha) : QVariant();
        }
        case 'L':
            switch (p[0]) {
                case 'T': case 't': case 'Y': case 'y': case 'S': case 's': return true;
                case 'F': case 'f': case 'N': case 'n': return false;
                default: return {};
            }
        default:
            return {};
    }
}

QByteArray TablaDbf::RegistroVacio() const { return QByteArray(largoRegistro_, ' '); }

void TablaDbf::PonValor(QByteArray& registro, int indice, const QVariant& valor) const {
    const Campo& c = campos_[size_t(indice)];
    // The message names file and field; the reason alone travels with it for the form's own wording.
    auto falla = [&](const QString& que, const QString& motivo) {
        throw ErrorTabla(QStringLiteral("Tabla «%1»: el campo «%2» %3").arg(nombre(), c.nombre, que), motivo);
    };
    QByteArray bytes;
    const bool nulo = !valor.isValid() || valor.isNull();
    switch (c.tipo) {
        case 'C': {
            if (nulo) break;
            QString texto = valor.typeId() == QMetaType::Double ? TextoDeNumero(valor.toDouble()) : valor.toString();
            while (texto.endsWith(u' ')) texto.chop(1);
            QChar rechazado;
            auto codificado = Codifica(texto, pagina_, &rechazado);
            if (!codificado)
                falla(QStringLiteral("no puede guardar el carácter «%1» (U+%2) en la página de códigos %3.")
                          .arg(rechazado).arg(rechazado.unicode(), 4, 16, QLatin1Char('0')).arg(NombrePagina(pagina_)),
                      QStringLiteral("no admite el carácter «%1»").arg(rechazado));
            if (codificado->size() > c.ancho)
                falla(QStringLiteral("admite %1 caracteres y el valor tiene %2.").arg(c.ancho).arg(codificado->size()),
                      QStringLiteral("admite %1 caracteres").arg(c.ancho));
            bytes = *codificado;
            break;
        }
        case 'N':
        case 'F': {
            double v = 0;
            auto noEsNumero = [&](const QString& t) {
                falla(QStringLiteral("es numérico y «%1» no es un número.").arg(t), QStringLiteral("«%1» no es un número").arg(t));
            };
            if (valor.typeId() == QMetaType::QString) {
                const QString t = valor.toString().trimmed();
                if (t.isEmpty()) break;
                bool ok = false;
                v = t.toDouble(&ok);
                if (!ok) noEsNumero(t);
            } else {
                if (nulo) break;
                bool ok = false;
                v = valor.toDouble(&ok);
                if (!ok) noEsNumero(valor.toString());
            }
            if (!std::isfinite(v)) noEsNumero(valor.toString());
            QString t = QString::number(v, 'f', c.decimales);
            if (t.startsWith(u'-') && t.toDouble() == 0) t.remove(0, 1);  // no "-0.00"
            if (t.size() > c.ancho)
                falla(QStringLiteral("admite números de %1 caracteres con %2 decimales; %3 no cabe.")
                          .arg(c.ancho).arg(c.decimales).arg(TextoDeNumero(v)),
                      QStringLiteral("el número más grande que admite es %1").arg(MayorNumero(c)));
            bytes = t.rightJustified(c.ancho, u' ').toLatin1();
            break;
        }
        case 'D': {
            if (nulo) break;
            QDate fecha = valor.toDate();
            if (!fecha.isValid()) fecha = QDate::fromString(valor.toString(), QStringLiteral("yyyyMMdd"));
            if (!fecha.isValid() || fecha.year() < 1 || fecha.year() > 9999)
                falla(QStringLiteral("es de fecha y el valor no es una fecha."), QStringLiteral("el valor no es una fecha"));
            bytes = fecha.toString(QStringLiteral("yyyyMMdd")).toLatin1();
            break;
        }
        case 'L':
            bytes = nulo ? QByteArray("?") : QByteArray(valor.toBool() ? "T" : "F");
            break;
        default:
            falla(QStringLiteral("es de un tipo que no se puede escribir (%1).").arg(QChar::fromLatin1(c.tipo)),
                  QStringLiteral("no se puede escribir"));
    }
    QByteArray relleno = bytes.leftJustified(c.ancho, ' ');
    registro.replace(c.desplazamiento, c.ancho, relleno);
}

QString MayorNumero(const Campo& c) {
    const int enteros = std::max(1, c.ancho - (c.decimales > 0 ? c.decimales + 1 : 0));
    QString t(enteros, u'9');
    if (c.decimales > 0) t += u'.' + QString(c.decimales, u'9');
    return t;
}

void TablaDbf::Asegura() const {
    QFile archivo(ruta_);
    if (!archivo.open(QIODevice::ReadWrite | QIODevice::ExistingOnly) || !AseguraArchivo(archivo))
        Falla(QStringLiteral("no se pudo asegurar en el disco (%1).").arg(archivo.errorString()));
}

void TablaDbf::EscribeEnArchivo(qint64 posicion, const QByteArray& bytes, bool conCuenta) {
    QFile archivo(ruta_);
    if (FallaInyectada(u"escribe", ruta_) || !archivo.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) Falla(QStringLiteral("no se pudo abrir para escribir (%1).").arg(archivo.errorString()));
    if (!archivo.seek(posicion) || archivo.write(bytes) != bytes.size())
        Falla(QStringLiteral("no se pudo escribir (%1).").arg(archivo.errorString()));
    if (conCuenta) {
        QByteArray encabezado(7, '\0');
        encabezado.replace(0, 3, fechaEncabezado());
        ponLe32(encabezado, 3, quint32(numRegistros_ + 1));
        if (!archivo.flush() || !archivo.seek(1) || archivo.write(encabezado) != encabezado.size())
            Falla(QStringLiteral("no se pudo actualizar el encabezado (%1).").arg(archivo.errorString()));
    }
    if (!archivo.flush()) Falla(QStringLiteral("no se pudo escribir (%1).").arg(archivo.errorString()));
}

void TablaDbf::Reescribe(qint64 registro, const QByteArray& bytes) {
    EscribeEnArchivo(largoEncabezado_ + registro * largoRegistro_, bytes, false);
    const bool eraBorrado = Borrado(registro);
    datos_.replace(registro * largoRegistro_, largoRegistro_, bytes);
    numBorrados_ += (bytes[0] == '*') - int(eraBorrado);
    Sella();
}

qint64 TablaDbf::Agrega(const QByteArray& bytes) {
    QByteArray conMarca = bytes;
    conMarca.append(kFinArchivo);
    EscribeEnArchivo(largoEncabezado_ + numRegistros_ * largoRegistro_, conMarca, true);
    datos_.append(bytes);
    if (bytes[0] == '*') ++numBorrados_;
    Sella();
    return numRegistros_++;
}

qint64 TablaDbf::AgregaVarios(const std::vector<QByteArray>& registros) {
    if (registros.empty()) return numRegistros_;
    QByteArray bloque;
    bloque.reserve(qsizetype(registros.size()) * largoRegistro_ + 1);
    for (const QByteArray& r : registros) bloque.append(r);
    bloque.append(kFinArchivo);
    const qint64 primero = numRegistros_;
    const qint64 nuevos = qint64(registros.size());
    QFile archivo(ruta_);
    if (FallaInyectada(u"escribe", ruta_) || !archivo.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        Falla(QStringLiteral("no se pudo abrir para escribir (%1).").arg(archivo.errorString()));
    if (!archivo.seek(largoEncabezado_ + primero * largoRegistro_) || archivo.write(bloque) != bloque.size() ||
        !AseguraArchivo(archivo))
        Falla(QStringLiteral("no se pudo escribir (%1).").arg(archivo.errorString()));
    PuntoDeCorte();
    QByteArray encabezado(7, '\0');
    encabezado.replace(0, 3, fechaEncabezado());
    ponLe32(encabezado, 3, quint32(primero + nuevos));
    if (!archivo.seek(1) || archivo.write(encabezado) != encabezado.size() || !AseguraArchivo(archivo))
        Falla(QStringLiteral("no se pudo actualizar el encabezado (%1).").arg(archivo.errorString()));
    PuntoDeCorte();
    datos_.append(bloque.constData(), bloque.size() - 1);
    for (const QByteArray& r : registros) numBorrados_ += r[0] == '*';
    numRegistros_ += nuevos;
    Sella();
    return primero;
}

void TablaDbf::Borra(qint64 registro) {
    if (Borrado(registro)) return;
    EscribeEnArchivo(largoEncabezado_ + registro * largoRegistro_, QByteArray(1, '*'), false);
    datos_[registro * largoRegistro_] = '*';
    ++numBorrados_;
    Sella();
}

}  // namespace lorum
