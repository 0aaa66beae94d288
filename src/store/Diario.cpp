#include "Diario.h"

#include "Corte.h"
#include "ErrorTabla.h"
#include "TablaDbf.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDirIterator>
#include <optional>

namespace lorum {

namespace {

// Version 2 keeps, for each record written, the bytes it replaces, so a start can undo it.
const QByteArray kMagia = "LORUM-DIARIO 2";
const QByteArray kMagiaV1 = "LORUM-DIARIO 1";
const QString kPreparado = QStringLiteral(".lorum-nuevo");
const QString kAnterior = QStringLiteral(".lorum-anterior");

QByteArray Huella(const QByteArray& bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex(); }

QByteArray HuellaDe(const QString& ruta, bool* hay) {
    QString error;
    *hay = QFileInfo(ruta).isFile();
    if (!*hay) return {};
    const QByteArray b = LeeArchivo(ruta, &error);
    *hay = error.isEmpty();
    return *hay ? Huella(b) : QByteArray();
}

// A second name for a file, costing nothing where the file system has hard links; a flushed copy
// elsewhere (FAT and exFAT, as on a USB stick).
bool SegundoNombre(const QString& ruta, const QString& otro) {
    QFile::remove(otro);
    if (EnlaceDuro(ruta, otro)) return true;
    if (FallaInyectada(u"segundo-nombre", otro)) return false;
    QString error;
    const QByteArray b = LeeArchivo(ruta, &error);
    return error.isEmpty() && EscribeSobreNombre(otro, b, Temporal::SinAnotar).ok;
}

QString Nombre(const QString& ruta) { return QFileInfo(ruta).fileName(); }

// Writes a record's bytes into a table file where the journal says, idempotently: the same bytes at
// the same place, and for an append the end mark after them and the header's count. Undoing puts
// back `antes` (an edit or a deletion) or, for an append, the count and end mark before it.
bool AplicaEscritura(const QString& ruta, qint64 desplazamiento, const QByteArray& bytes, qint64 cuenta,
                     int largoEncabezado, int largoRegistro, const QByteArray* antes = nullptr) {
    QFile f(ruta);
    if (FallaInyectada(u"escribe", ruta) || !f.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) return false;
    const QByteArray cabeza = f.read(12);
    if (cabeza.size() < 12) return false;
    const int encabezado = quint8(cabeza[8]) | quint8(cabeza[9]) << 8;
    const int registro = quint8(cabeza[10]) | quint8(cabeza[11]) << 8;
    // A record goes inside the file or right after its last record, never beyond: no journal makes a
    // table grow by more than what it writes.
    if (registro <= 0 || encabezado != largoEncabezado || registro != largoRegistro || desplazamiento < encabezado ||
        desplazamiento > f.size() || (cuenta >= 0 && (desplazamiento - encabezado) / registro + 1 != cuenta))
        return false;
    auto ponCuenta = [&](qint64 n) {
        QByteArray c(4, '\0');
        for (int k = 0; k < 4; ++k) c[k] = char((quint64(n) >> (8 * k)) & 0xFF);
        return f.seek(4) && f.write(c) == c.size();
    };
    if (antes && cuenta >= 0) {
        // The append undone: the count before it, the end mark where the record was.
        if (!ponCuenta(cuenta - 1) || !f.seek(desplazamiento) || f.write("\x1A", 1) != 1 || !f.resize(desplazamiento + 1)) return false;
        return AseguraArchivo(f);
    }
    QByteArray escribe = antes ? *antes : bytes;
    if (!antes && cuenta >= 0) escribe.append(char(0x1A));
    if (!f.seek(desplazamiento) || f.write(escribe) != escribe.size()) return false;
    if (!antes && cuenta >= 0 && !ponCuenta(cuenta)) return false;
    return AseguraArchivo(f);
}

struct EntradaR {
    QString destino, preparado, anterior;
    QByteArray huella;
};
struct EntradaW {
    QString tabla;
    qint64 desplazamiento;
    qint64 cuenta;
    int largoEncabezado;
    int largoRegistro;
    QByteArray bytes;
    std::optional<QByteArray> antes;  // what the bytes replace; none in a version 1 journal
};
struct Leido {
    bool valido = false;
    QString operacion;
    std::vector<EntradaR> r;
    std::vector<EntradaW> w;
};

Leido LeeDiario(const QByteArray& texto) {
    Leido d;
    const qsizetype fin = texto.lastIndexOf("\nFIN ");
    const bool v1 = texto.startsWith(kMagiaV1 + '\n');
    if ((!texto.startsWith(kMagia + '\n') && !v1) || fin < 0) return d;
    if (texto.mid(fin + 5).trimmed() != Huella(texto.left(fin + 1))) return d;
    const QList<QByteArray> lineas = texto.left(fin).split('\n');
    for (qsizetype i = 1; i < lineas.size(); ++i) {
        const QList<QByteArray> p = lineas[i].split(' ');
        bool ok = true;
        if (p.size() == 2 && p[0] == "OPERACION") {
            d.operacion = TextoDePalabra(p[1]);
        } else if (p.size() == 5 && p[0] == "R") {
            d.r.push_back({TextoDePalabra(p[1]), TextoDePalabra(p[2]), TextoDePalabra(p[3]), p[4]});
        } else if (p.size() == (v1 ? 7 : 8) && p[0] == "W") {
            bool a = false, b = false, c = false, e = false;
            EntradaW w{TextoDePalabra(p[1]), p[2].toLongLong(&a), p[3].toLongLong(&b), p[4].toInt(&c), p[5].toInt(&e),
                       QByteArray::fromBase64(p[6]), std::nullopt};
            if (!v1) w.antes = QByteArray::fromBase64(p[7] == "-" ? QByteArray() : p[7]);
            ok = a && b && c && e;
            d.w.push_back(w);
        } else {
            ok = false;
        }
        if (!ok) return Leido{};
        // Names are plain file names of the folder: a journal never reaches outside it.
        for (const auto& r : d.r)
            for (const QString& n : {r.destino, r.preparado, r.anterior})
                if (n.contains(u'/') || n.contains(u'\\') || n == u".." ) return Leido{};
        for (const auto& w : d.w)
            if (w.tabla.isEmpty() || w.tabla.contains(u'/') || w.tabla.contains(u'\\')) return Leido{};
    }
    d.valido = true;
    return d;
}

}  // namespace

CambioDeTablas::CambioDeTablas(QString datos, QString operacion)
    : datos_(std::move(datos)), operacion_(std::move(operacion)) {}

CambioDeTablas::~CambioDeTablas() {
    if (confirmado_) return;
    for (const Reemplazo& r : reemplazos_) {
        QFile::remove(r.preparado);
        if (!r.anterior.isEmpty()) QFile::remove(r.anterior);
    }
}

void CambioDeTablas::Reemplaza(const QString& tabla, const QString& origen, const DefinicionTabla& leidos,
                               const FuncionCopia& copia) {
    Reemplazo r;
    r.destino = ResuelveArchivo(datos_, tabla);
    r.preparado = r.destino + kPreparado;
    // The source is checked under its own name, then staged; what was staged must be the same bytes.
    CompruebaTabla(origen, leidos);
    bool hay = false;
    r.huella = HuellaDe(ResuelveRuta(origen), &hay);
    if (!hay) throw ErrorTabla(QStringLiteral("No se pudo leer «%1».").arg(QDir::toNativeSeparators(origen)));
    reemplazos_.push_back(r);  // removed by the destructor whatever happens next
    AnotaTemporal(r.preparado, Temporal::Preparada);
    const ResultadoCopia c = copia(origen, r.preparado);
    if (!c.ok) throw ErrorTabla(c.mensaje);
    // The table that comes in keeps the mode of the one it replaces (a shared folder stays readable).
    if (QFileInfo(r.destino).isFile()) QFile::setPermissions(r.preparado, QFile::permissions(r.destino));
    if (HuellaDe(r.preparado, &hay) != r.huella || !hay)
        throw ErrorTabla(QStringLiteral("La copia de «%1» en «%2» no es igual al original.")
                             .arg(QDir::toNativeSeparators(origen), QDir::toNativeSeparators(datos_)));
    PuntoDeCorte();
}

void CambioDeTablas::Escribe(Cursor& cursor) {
    TablaDbf& t = cursor.tabla();
    Escritura w{&cursor, false, 0, cursor.Pendiente(), -1, {}};
    if (cursor.EditMode() == Cursor::Modo::Alta) {
        w.desplazamiento = t.largoEncabezado() + t.NumFisicos() * t.largoRegistro();
        w.cuenta = t.NumFisicos() + 1;
    } else if (cursor.EditMode() == Cursor::Modo::Edicion) {
        w.registro = cursor.PosicionPendiente();
        w.desplazamiento = t.largoEncabezado() + w.registro * t.largoRegistro();
        w.antes = QByteArray(t.Registro(w.registro), t.largoRegistro());
    } else {
        throw ErrorTabla(QStringLiteral("Tabla «%1»: el registro no está en edición.").arg(t.nombre()));
    }
    escrituras_.push_back(std::move(w));
}

void CambioDeTablas::Borra(Cursor& cursor) {
    TablaDbf& t = cursor.tabla();
    const qint64 registro = cursor.Bookmark();
    Escritura w{&cursor, true, t.largoEncabezado() + registro * t.largoRegistro(), QByteArray(1, '*'), -1,
                QByteArray(t.Registro(registro), 1)};
    w.registro = registro;
    escrituras_.push_back(std::move(w));
}

bool CambioDeTablas::EscribeDiario() {
    QByteArray texto = kMagia + '\n';
    texto += "OPERACION " + PalabraDeTexto(operacion_) + '\n';
    for (const Reemplazo& r : reemplazos_)
        texto += "R " + PalabraDeTexto(Nombre(r.destino)) + ' ' + PalabraDeTexto(Nombre(r.preparado)) + ' ' +
                 PalabraDeTexto(r.anterior.isEmpty() ? QString() : Nombre(r.anterior)) + ' ' + r.huella + '\n';
    for (const Escritura& w : escrituras_) {
        const TablaDbf& t = w.cursor->tabla();
        texto += "W " + PalabraDeTexto(t.nombre()) + ' ' + QByteArray::number(w.desplazamiento) + ' ' +
                 QByteArray::number(w.cuenta) + ' ' + QByteArray::number(t.largoEncabezado()) + ' ' +
                 QByteArray::number(t.largoRegistro()) + ' ' + w.bytes.toBase64() + ' ' +
                 (w.antes.isEmpty() ? QByteArray("-") : w.antes.toBase64()) + '\n';
    }
    texto += "FIN " + Huella(texto) + '\n';
    const QString ruta = QDir(datos_).filePath(kDiario);
    const ResultadoCopia r = EscribeSobreNombre(ruta, texto);
    if (r.ok) return true;
    // A journal that reached its name stays the change's if it cannot be taken back: the change goes on.
    if (r.escrito && !(QFile::remove(ruta) && AseguraDirectorio(datos_)) && QFileInfo::exists(ruta)) return true;
    return false;
}

bool CambioDeTablas::Deshace() {
    bool ok = true;
    for (auto w = escrituras_.rbegin(); w != escrituras_.rend(); ++w) {
        // An edit cut half-way may have reached the file: its old bytes go back all the same.
        if (!w->hecha && !(w->intentada && w->cuenta < 0)) continue;
        try {
            TablaDbf& t = w->cursor->tabla();
            if (w->cuenta >= 0) t.Borra(w->registro);
            else if (w->borra) t.Reescribe(w->registro, w->antes + QByteArray(t.Registro(w->registro) + 1, t.largoRegistro() - 1));
            else t.Reescribe(w->registro, w->antes);
        } catch (const ErrorTabla&) {
            // A write that failed because its table is gone changed nothing there.
            ok = ok && !w->hecha && !QFileInfo::exists(w->cursor->tabla().ruta());
        }
    }
    for (Reemplazo& r : reemplazos_) {
        if (!r.cambiado) continue;
        if (r.anterior.isEmpty() ? QFile::remove(r.destino) : Renombra(r.anterior, r.destino)) r.anterior.clear();
        else ok = false;
        TablaDbf::RecargaSiAbierta(r.destino);
    }
    ok = AseguraDirectorio(datos_) && ok;
    return ok;
}

void CambioDeTablas::Confirma() {
    const QString diario = QDir(datos_).filePath(kDiario);
    // A change that a failed undo left to the next start must not be overwritten by another one.
    if (QFileInfo::exists(diario))
        throw ErrorTabla(QStringLiteral("Hay una operación sin terminar en «%1». Cierre el programa y vuelva a iniciarlo: al "
                                        "iniciar se completará.")
                             .arg(QDir::toNativeSeparators(datos_)));
    // The old tables keep a second name until the change is whole, so a cut change can be undone.
    for (Reemplazo& r : reemplazos_) {
        if (!QFileInfo::exists(r.destino)) continue;
        r.anterior = r.destino + kAnterior;
        AnotaTemporal(r.anterior);
        if (!SegundoNombre(r.destino, r.anterior))
            throw ErrorTabla(QStringLiteral("No se pudo guardar una copia de «%1» antes de reemplazarla; las tablas quedaron como "
                                            "estaban.")
                                 .arg(Nombre(r.destino)));
    }
    PuntoDeCorte();
    if (!EscribeDiario())
        throw ErrorTabla(QStringLiteral("No se pudo escribir el diario «%1» en «%2»; las tablas quedaron como estaban.")
                             .arg(kDiario, QDir::toNativeSeparators(datos_)));
    PuntoDeCorte();
    try {
        for (Reemplazo& r : reemplazos_) {
            if (!Renombra(r.preparado, r.destino))
                throw ErrorTabla(QStringLiteral("No se pudo reemplazar «%1».").arg(QDir::toNativeSeparators(r.destino)));
            r.cambiado = true;
            TablaDbf::RecargaSiAbierta(r.destino);
            PuntoDeCorte();
        }
        if (!reemplazos_.empty() && !AseguraDirectorio(datos_))
            throw ErrorTabla(QStringLiteral("No se pudo asegurar «%1» en el disco.").arg(QDir::toNativeSeparators(datos_)));
        for (Escritura& w : escrituras_) {
            w.intentada = true;
            if (w.borra) w.cursor->Delete();
            else w.cursor->Update();
            w.hecha = true;
            if (w.cuenta >= 0) w.registro = w.cursor->LastModified();
            PuntoDeCorte();
        }
        for (const Escritura& w : escrituras_) w.cursor->Asegura();
        if (!escrituras_.empty()) PuntoDeCorte();
    } catch (const ErrorTabla& e) {
        // Put back what was done. What the user reads is what the next start will find: when the
        // undo fails, or its journal cannot be removed, the journal stays and that start completes
        // the change (or undoes it when it cannot).
        const bool deshecho = Deshace();
        const bool sinDiario = deshecho && (QFile::remove(diario) || !QFileInfo::exists(diario));
        if (sinDiario) AseguraDirectorio(datos_);
        else confirmado_ = true;  // the staged tables and second names stay for that start
        const QString luego = QStringLiteral(" Cierre el programa y vuelva a iniciarlo: al iniciar se completará la operación "
                                             "(o, si no se puede, se deshará).");
        throw ErrorTabla(e.mensaje() + (sinDiario ? QStringLiteral("\nLas tablas quedaron como estaban.")
                                        : deshecho ? QStringLiteral("\nNo se pudo quitar el diario «%1».").arg(kDiario) + luego
                                                   : QStringLiteral("\nNo se pudo deshacer el cambio.") + luego),
                         e.motivo());
    }
    confirmado_ = true;
    for (const Reemplazo& r : reemplazos_)
        if (!r.anterior.isEmpty()) QFile::remove(r.anterior);
    QFile::remove(diario);
    AseguraDirectorio(datos_);
    PuntoDeCorte();
}

QString RecuperaDiario(const QString& datos, bool* pendiente) {
    const QDir dir(datos);
    const QString ruta = dir.filePath(kDiario);
    if (pendiente) *pendiente = false;
    QString mensaje;
    if (QFileInfo::exists(ruta)) {
        QString error;
        const Leido d = LeeDiario(LeeArchivo(ruta, &error));
        const QString operacion = d.operacion.isEmpty() ? QStringLiteral("una operación") : QStringLiteral("«%1»").arg(d.operacion);
        // Each staged table is there and sound, or already switched in.
        bool completa = d.valido;
        for (const EntradaR& r : d.r) {
            bool hayPreparado = false, hayDestino = false;
            const QByteArray p = HuellaDe(dir.filePath(r.preparado), &hayPreparado);
            const QByteArray t = HuellaDe(dir.filePath(r.destino), &hayDestino);
            completa = completa && ((hayPreparado && p == r.huella) || (!hayPreparado && hayDestino && t == r.huella));
        }
        if (completa) {
            for (const EntradaR& r : d.r)
                if (QFileInfo::exists(dir.filePath(r.preparado))) completa = completa && Renombra(dir.filePath(r.preparado), dir.filePath(r.destino));
            completa = completa && AseguraDirectorio(datos);
            for (const EntradaW& w : d.w)
                completa = completa && AplicaEscritura(ResuelveArchivo(datos, w.tabla), w.desplazamiento, w.bytes, w.cuenta,
                                                        w.largoEncabezado, w.largoRegistro);
        }
        bool entera = completa;
        if (completa) {
            mensaje = QStringLiteral("El programa se cerró sin terminar %1. Al iniciar se terminó esa operación: la solicitud "
                                     "quedó completa, como al final de ella.").arg(operacion);
        } else {
            // Undone in the reverse order: the records written (their old bytes, the count before an
            // append), then the old tables under their names again. A journal damaged from outside
            // names nothing: the old tables come back from the second names the program listed.
            entera = true;
            if (!d.valido)
                for (const QString& n : TemporalesAnotados(datos))
                    if (n.endsWith(kAnterior) && QFileInfo::exists(dir.filePath(n)))
                        entera = Renombra(dir.filePath(n), dir.filePath(n.chopped(kAnterior.size()))) && entera;
            for (auto w = d.w.rbegin(); w != d.w.rend(); ++w)
                entera = entera && w->antes &&
                         AplicaEscritura(ResuelveArchivo(datos, w->tabla), w->desplazamiento, w->bytes, w->cuenta, w->largoEncabezado,
                                         w->largoRegistro, &*w->antes);
            for (const EntradaR& r : d.r) {
                const QString destino = dir.filePath(r.destino), anterior = dir.filePath(r.anterior);
                if (!r.anterior.isEmpty() && QFileInfo::exists(anterior)) {
                    entera = Renombra(anterior, destino) && entera;
                } else if (r.anterior.isEmpty()) {
                    // The table was not there before the change: the one it brought goes.
                    bool hay = false;
                    if (HuellaDe(destino, &hay) == r.huella && hay) entera = QFile::remove(destino) && entera;
                }
            }
            entera = AseguraDirectorio(datos) && entera;
            if (entera) {
                for (const EntradaR& r : d.r) QFile::remove(dir.filePath(r.preparado));
                mensaje = QStringLiteral("El programa se cerró sin terminar %1, y no se pudo completar. Al iniciar se deshizo: la "
                                         "solicitud quedó como estaba antes.").arg(operacion);
            }
        }
        if (!entera) {
            // Neither way worked (a table that cannot be written, a full disk): everything stays for the
            // next start, and the user is told so.
            if (pendiente) *pendiente = true;
            return QStringLiteral("El programa se cerró sin terminar %1, y al iniciar no se pudo completar ni deshacer: la "
                                  "solicitud no está entera. Revise que se pueda escribir en «%2» (espacio libre, permisos, "
                                  "que el disco esté conectado) y vuelva a iniciar el programa: al iniciar se intentará de nuevo.")
                .arg(operacion, QDir::toNativeSeparators(datos));
        }
        for (const EntradaR& r : d.r)
            if (!r.anterior.isEmpty()) QFile::remove(dir.filePath(r.anterior));
        QFile::remove(ruta);
        AseguraDirectorio(datos);
    }
    // What a cut change or a cut write leaves behind: the staged tables, second names and new files
    // the program named in its list before making them; nothing else of the folder is touched.
    if (QuitaTemporales(datos) && mensaje.isEmpty())
        mensaje = QStringLiteral("El programa se cerró en medio de una operación, antes de cambiar las tablas: la "
                                 "solicitud quedó como estaba antes.");
    return mensaje;
}

}  // namespace lorum
