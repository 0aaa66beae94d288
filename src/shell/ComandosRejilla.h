#pragma once

namespace lorum {

class OrigenDatos;
class RejillaLigada;
class ServicioMensajes;

// Adds the grid's current row to its selected rows; any failure (an empty grid) is ignored.
void SeleccionaRenglon(RejillaLigada& rejilla);

// Asks "Advertencia" whether to delete the selected rows (or the current one when none is selected)
// and, on Yes and when the grid allows it, deletes them from the source's table and reads it again.
// Table-engine errors end the deletion with their message (thrown to the dispatcher).
void BorraSeleccion(RejillaLigada& rejilla, OrigenDatos& origen, ServicioMensajes& mensajes);

}  // namespace lorum
