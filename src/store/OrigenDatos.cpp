#include "OrigenDatos.h"

#include "Archivos.h"
#include "ErrorTabla.h"

#include <QDir>
#include <QFileInfo>

namespace lorum {

namespace {

void exigeControlador(const QString& conexion) {
    static const QStringList conocidos = {QStringLiteral("foxpro 2.0;"), QStringLiteral("foxpro 2.5;"),
                                          QStringLiteral("foxpro 2.6;"), QStringLiteral("dbase iii;"),
                                          QStringLiteral("dbase iv;")};
    QString c = conexion.trimmed().toLower();
    if (!c.endsWith(u';')) c.append(u';');
    if (!conocidos.contains(c))
        throw ErrorTabla(QStringLiteral("No hay controlador para la conexión «%1».").arg(conexion));
}

}  // namespace

Cursor AbreCursor(const QString& directorio, const QString& conexion, const QString& fuente) {
    exigeControlador(conexion);
    const Consulta consulta = AnalizaFuente(fuente);
    QString archivo = consulta.tabla;
    if (!archivo.endsWith(QLatin1String(".dbf"), Qt::CaseInsensitive)) archivo += QLatin1String(".dbf");
    const QString ruta = ResuelveArchivo(directorio, archivo);
    if (!QFileInfo(ruta).isFile())
        throw ErrorTabla(QStringLiteral("No se encontró la tabla «%1» en «%2».").arg(archivo, QDir::toNativeSeparators(directorio)));
    auto tabla = TablaDbf::Abre(ruta);

    std::vector<int> columnas;
    for (const QString& nombre : consulta.columnas) {
        const int i = tabla->IndiceCampo(nombre);
        if (i < 0) throw ErrorTabla(QStringLiteral("Tabla «%1»: no tiene el campo «%2».").arg(tabla->nombre(), nombre));
        columnas.push_back(i);
    }
    Filtro filtro = consulta.donde ? Filtro(*tabla, *consulta.donde) : Filtro();
    return Cursor(std::move(tabla), std::move(filtro), std::move(columnas));
}

void OrigenDatos::Conecta(const QString& directorio, const QString& conexion, const QString& fuente) {
    directorio_ = directorio;
    conexion_ = conexion;
    fuente_ = fuente;
}

static bool EsExcel(const QString& conexion) { return conexion.trimmed().startsWith(QLatin1String("excel"), Qt::CaseInsensitive); }

void OrigenDatos::Refresca() {
    cursor_.reset();
    if (EsExcel(conexion_)) return;  // the workbook reader reads it
    cursor_ = std::make_unique<Cursor>(AbreCursor(directorio_, conexion_, fuente_));
}

void OrigenDatos::Desliga() {
    cursor_.reset();
    directorio_.clear();
    fuente_.clear();
}

Cursor& OrigenDatos::Registros() {
    if (!cursor_)
        throw ErrorTabla(QStringLiteral("El origen de datos «%1» no está abierto.").arg(fuente_));
    return *cursor_;
}

}  // namespace lorum
