#include "ComandosRejilla.h"

#include "OrigenDatos.h"
#include "RejillaLigada.h"
#include "ServicioMensajes.h"

#include <QItemSelectionModel>

namespace lorum {

void SeleccionaRenglon(RejillaLigada& rejilla) {
    const QModelIndex actual = rejilla.currentIndex();
    if (!actual.isValid()) return;
    rejilla.selectionModel()->select(actual, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void BorraSeleccion(RejillaLigada& rejilla, OrigenDatos& origen, ServicioMensajes& mensajes) {
    const std::vector<qint64> marcas = rejilla.SelBookmarks();
    const auto n = marcas.size();
    const QString texto = n > 1 ? QStringLiteral("¿ Confirma la eliminación de los %1 registros seleccionados ?").arg(n)
                                : QStringLiteral("¿ Confirma la eliminación del registro actual ?");
    if (mensajes.Muestra(texto, QStringLiteral("Advertencia"), ServicioMensajes::Botones::SiNo,
                         ServicioMensajes::Icono::Ninguno) != ServicioMensajes::Respuesta::Si)
        return;
    if (!rejilla.AllowDelete) return;
    std::vector<qint64> borrar = marcas;
    if (borrar.empty() && rejilla.Row() >= 0 && rejilla.Row() < rejilla.modelo()->NumRegistros())
        borrar.push_back(rejilla.modelo()->MarcaDe(rejilla.Row()));
    rejilla.BorraRenglones(origen, borrar);
}

}  // namespace lorum
