#include "Diario.h"

#include "Corte.h"
#include "ErrorTabla.h"
#include "TablaDbf.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDirIterator>
#include <QSaveFile>
#include <QUrl>

#ifndef Q_OS_WIN
#include <cstdio>
#include <unistd.h>
#endif

namespace lorum {

namespace {

const QByteArray kMagia = "LORUM-DIARIO 1";
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

// A rename that replaces whatever stands at the target's name (a link too, not its target).
bool Renombra(const QString& desde, const QString& hacia) {
#ifdef Q_OS_WIN
    QFile::remove(hacia);
    return QFile::rename(desde, hacia);
#else
    return ::rename(QFile::encodeName(desde).constData(), QFile::encodeName(hacia).constData()) == 0;
#endif
}

// A second name for a file, costing nothing where the file system has hard links; a flushed copy
// elsewhere.
bool SegundoNombre(const QString& ruta, const QString& otro) {
    QFile::remove(otro);
#ifndef Q_OS_WIN
    if (::link(QFile::encodeName(ruta).constData(), QFile::encodeName(otro).constData()) == 0) return true;
#endif
    QString error;
    const QByteArray b = LeeArchivo(ruta, &error);
    if (!error.isEmpty()) return false;
    QSaveFile f(otro);
    return f.open(QIODevice::WriteOnly) && f.write(b) == b.size() && f.commit();
}

QString Nombre(const QString& ruta) { return QFileInfo(ruta).fileName(); }
QByteArray Codifica(const QString& t) { return QUrl::toPercentEncoding(t.isEmpty() ? QStringLiteral("-") : t); }
QString Decodifica(const QByteArray& t) {
    const QString s = QUrl::fromPercentEncoding(t);
    return s == u"-" ? QString() : s;
}

// Writes a record's bytes into a table file where the journal says, idempotently: the same bytes at
// the same place, and for an append the end mark after them and the header's count.
bool AplicaEscritura(const QString& ruta, qint64 desplazamiento, const QByteArray& bytes, qint64 cuenta,
                     int largoEncabezado, int largoRegistro) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) return false;
    const QByteArray cabeza = f.read(12);
    if (cabeza.size() < 12) return false;
    const int encabezado = quint8(cabeza[8]) | quint8(cabeza[9]) << 8;
    const int registro = quint8(cabeza[10]) | quint8(cabeza[11]) << 8;
    // A record goes inside the file or right after its last record, never beyond: no journal makes a
    // table grow by more than what it writes.
    if (registro <= 0 || encabezado != largoEncabezado || registro != largoRegistro || desplazamiento < encabezado ||
        desplazamiento > f.size() || (cuenta >= 0 && (desplazamiento - encabezado) / registro + 1 != cuenta))
        return false;
    QByteArray escribe = bytes;
    if (cuenta >= 0) escribe.append(char(0x1A));
    if (!f.seek(desplazamiento) || f.write(escribe) != escribe.size()) return false;
    if (cuenta >= 0) {
        QByteArray c(4, '\0');
        for (int k = 0; k < 4; ++k) c[k] = char((quint64(cuenta) >> (8 * k)) & 0xFF);
        if (!f.seek(4) || f.write(c) != c.size()) return false;
    }
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
    if (!texto.startsWith(kMagia + '\n') || fin < 0) return d;
    if (texto.mid(fin + 5).trimmed() != Huella(texto.left(fin + 1))) return d;
    const QList<QByteArray> lineas = texto.left(fin).split('\n');
    for (qsizetype i = 1; i < lineas.size(); ++i) {
        const QList<QByteArray> p = lineas[i].split(' ');
        bool ok = true;
        if (p.size() == 2 && p[0] == "OPERACION") {
            d.operacion = Decodifica(p[1]);
        } else if (p.size() == 5 && p[0] == "R") {
            d.r.push_back({Decodifica(p[1]), Decodifica(p[2]), Decodifica(p[3]), p[4]});
        } else if (p.size() == 7 && p[0] == "W") {
            bool a = false, b = false, c = false, e = false;
            EntradaW w{Decodifica(p[1]), p[2].toLongLong(&a), p[3].toLongLong(&b), p[4].toInt(&c), p[5].toInt(&e),
                       QByteArray::fromBase64(p[6])};
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
    const ResultadoCopia c = copia(origen, r.preparado);
    if (!c.ok) throw ErrorTabla(c.mensaje);
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

void CambioDeTablas::EscribeDiario() {
    QByteArray texto = kMagia + '\n';
    texto += "OPERACION " + Codifica(operacion_) + '\n';
    for (const Reemplazo& r : reemplazos_)
        texto += "R " + Codifica(Nombre(r.destino)) + ' ' + Codifica(Nombre(r.preparado)) + ' ' +
                 Codifica(r.anterior.isEmpty() ? QString() : Nombre(r.anterior)) + ' ' + r.huella + '\n';
    for (const Escritura& w : escrituras_) {
        const TablaDbf& t = w.cursor->tabla();
        texto += "W " + Codifica(t.nombre()) + ' ' + QByteArray::number(w.desplazamiento) + ' ' +
                 QByteArray::number(w.cuenta) + ' ' + QByteArray::number(t.largoEncabezado()) + ' ' +
                 QByteArray::number(t.largoRegistro()) + ' ' + w.bytes.toBase64() + '\n';
    }
    texto += "FIN " + Huella(texto) + '\n';
    QSaveFile f(QDir(datos_).filePath(kDiario));
    if (!f.open(QIODevice::WriteOnly) || f.write(texto) != texto.size() || !f.commit() || !AseguraDirectorio(datos_))
        throw ErrorTabla(QStringLiteral("No se pudo escribir el diario «%1» en «%2» (%3).")
                             .arg(kDiario, QDir::toNativeSeparators(datos_), f.errorString()));
}

bool CambioDeTablas::Deshace() {
    bool ok = true;
    for (auto w = escrituras_.rbegin(); w != escrituras_.rend(); ++w) {
        if (!w->hecha) continue;
        try {
            TablaDbf& t = w->cursor->tabla();
            if (w->cuenta >= 0) t.Borra(w->registro);
            else if (w->borra) t.Reescribe(w->registro, w->antes + QByteArray(t.Registro(w->registro) + 1, t.largoRegistro() - 1));
            else t.Reescribe(w->registro, w->antes);
        } catch (const ErrorTabla&) {
            ok = false;
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
    // The old tables keep a second name until the change is whole, so a cut change can be undone.
    for (Reemplazo& r : reemplazos_) {
        if (!QFileInfo::exists(r.destino)) continue;
        r.anterior = r.destino + kAnterior;
        if (!SegundoNombre(r.destino, r.anterior))
            throw ErrorTabla(QStringLiteral("No se pudo guardar una copia de «%1» antes de reemplazarla.").arg(Nombre(r.destino)));
    }
    PuntoDeCorte();
    EscribeDiario();
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
            if (w.borra) w.cursor->Delete();
            else w.cursor->Update();
            w.hecha = true;
            if (w.cuenta >= 0) w.registro = w.cursor->LastModified();
            PuntoDeCorte();
        }
        for (const Escritura& w : escrituras_) w.cursor->Asegura();
        if (!escrituras_.empty()) PuntoDeCorte();
    } catch (const ErrorTabla& e) {
        // Put back what was done; when that fails too, the journal stays and the next start
        // completes the change, so the tables never hold a mix.
        if (Deshace()) {
            QFile::remove(QDir(datos_).filePath(kDiario));
            AseguraDirectorio(datos_);
        } else {
            confirmado_ = true;
        }
        throw ErrorTabla(e.mensaje() + QStringLiteral("\nLas tablas quedaron como estaban."), e.motivo());
    }
    confirmado_ = true;
    for (const Reemplazo& r : reemplazos_)
        if (!r.anterior.isEmpty()) QFile::remove(r.anterior);
    QFile::remove(QDir(datos_).filePath(kDiario));
    AseguraDirectorio(datos_);
    PuntoDeCorte();
}

// What a cut change or a cut atomic write can leave behind: staged tables, second names, and the
// temporary files written beside a table or the journal ("x.dbf.Ab12Cd", "lorum.diario.Ab12Cd").
static bool EsArchivoSuelto(const QString& nombre) {
    auto sufijoAzar = [&](qsizetype desde) {
        if (nombre.size() - desde != 6) return false;
        for (qsizetype i = desde; i < nombre.size(); ++i)
            if (nombre[i].unicode() >= 0x80 || !nombre[i].isLetterOrNumber()) return false;
        return true;
    };
    if (nombre.endsWith(QLatin1String(".lorum-nuevo"), Qt::CaseInsensitive) ||
        nombre.endsWith(QLatin1String(".lorum-anterior"), Qt::CaseInsensitive))
        return true;
    if (nombre.startsWith(QLatin1String("lorum.diario."), Qt::CaseInsensitive) && sufijoAzar(13)) return true;
    return nombre.size() >= 11 && QStringView(nombre).mid(nombre.size() - 11, 5).compare(QLatin1String(".dbf."), Qt::CaseInsensitive) == 0 &&
           sufijoAzar(nombre.size() - 6);
}

QString RecuperaDiario(const QString& datos) {
    const QDir dir(datos);
    const QString ruta = dir.filePath(kDiario);
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
        if (completa) {
            mensaje = QStringLiteral("El programa se cerró sin terminar %1. Al iniciar se terminó esa operación: la solicitud "
                                     "quedó completa, como al final de ella.").arg(operacion);
        } else {
            for (const EntradaR& r : d.r) {
                if (!r.anterior.isEmpty() && QFileInfo::exists(dir.filePath(r.anterior)))
                    Renombra(dir.filePath(r.anterior), dir.filePath(r.destino));
                QFile::remove(dir.filePath(r.preparado));
            }
            mensaje = QStringLiteral("El programa se cerró sin terminar %1, y no se pudo completar. Al iniciar se deshizo: la "
                                     "solicitud quedó como estaba antes.").arg(operacion);
        }
        for (const EntradaR& r : d.r)
            if (!r.anterior.isEmpty()) QFile::remove(dir.filePath(r.anterior));
        QFile::remove(ruta);
        AseguraDirectorio(datos);
    }
    // What a cut change or a cut atomic write can leave behind: staged tables, second names, and the
    // temporary files written beside a table or the journal.
    bool sinCambiar = false;
    for (QDirIterator it(datos, QDir::Files | QDir::Hidden | QDir::System); it.hasNext();) {
        it.next();
        const QString f = it.fileName();
        if (!EsArchivoSuelto(f)) continue;
        sinCambiar = sinCambiar || f.endsWith(kPreparado);
        QFile::remove(dir.filePath(f));
    }
    if (sinCambiar && mensaje.isEmpty())
        mensaje = QStringLiteral("El programa se cerró en medio de una operación, antes de cambiar las tablas: la "
                                 "solicitud quedó como estaba antes.");
    return mensaje;
}

}  // namespace lorum
