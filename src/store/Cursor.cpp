#include "Cursor.h"

#include "ErrorTabla.h"

namespace lorum {

Cursor::Cursor(std::shared_ptr<TablaDbf> tabla, Filtro filtro, std::vector<int> columnas)
    : tabla_(std::move(tabla)), filtro_(std::move(filtro)), columnas_(std::move(columnas)),
      generacion_(tabla_->generacion()) {
    MoveFirst();
}

void Cursor::Sincroniza() const {
    // The file was read anew (replaced on disk): old positions mean nothing, start over.
    if (generacion_ != tabla_->generacion()) {
        generacion_ = tabla_->generacion();
        posicion_ = AlFinal(Siguiente(0));
    }
}

qint64 Cursor::AlFinal(qint64 registro) const { return registro >= tabla_->NumFisicos() ? kFin : registro; }

bool Cursor::Visible(qint64 r) const {
    return r >= 0 && r < tabla_->NumFisicos() && !tabla_->Borrado(r) &&
           (!filtro_.activo() || filtro_.Cumple(*tabla_, tabla_->Registro(r)));
}

qint64 Cursor::Siguiente(qint64 desde) const {
    const qint64 n = tabla_->NumFisicos();
    for (qint64 r = std::max<qint64>(desde, 0); r < n; ++r)
        if (Visible(r)) return r;
    return n;
}

qint64 Cursor::Anterior(qint64 desde) const {
    for (qint64 r = std::min(desde, tabla_->NumFisicos() - 1); r >= 0; --r)
        if (Visible(r)) return r;
    return -1;
}

void Cursor::MoveFirst() {
    CancelUpdate();
    posicion_ = AlFinal(Siguiente(0));
    generacion_ = tabla_->generacion();
}

void Cursor::MoveLast() {
    CancelUpdate();
    generacion_ = tabla_->generacion();
    posicion_ = Anterior(tabla_->NumFisicos() - 1);
    if (posicion_ < 0) posicion_ = kFin;
}

void Cursor::MoveNext() {
    CancelUpdate();
    Sincroniza();
    if (posicion_ == kFin) return;
    posicion_ = AlFinal(Siguiente(posicion_ + 1));
}

void Cursor::MovePrevious() {
    CancelUpdate();
    Sincroniza();
    if (posicion_ < 0) return;
    posicion_ = Anterior(posicion_ == kFin ? tabla_->NumFisicos() - 1 : posicion_ - 1);
}

bool Cursor::Eof() const {
    // A current record deleted (by this cursor or another) is no current record any more.
    Sincroniza();
    return posicion_ == kFin || (posicion_ >= 0 && !Visible(posicion_));
}

bool Cursor::Bof() const {
    Sincroniza();
    if (posicion_ < 0) return true;
    return Eof() && Siguiente(0) >= tabla_->NumFisicos();  // an empty set is at both ends
}

qint64 Cursor::RecordCount() const {
    if (!filtro_.activo()) return tabla_->NumFisicos() - tabla_->NumBorrados();
    qint64 n = 0;
    for (qint64 r = 0; r < tabla_->NumFisicos(); ++r) n += Visible(r);
    return n;
}

qint64 Cursor::AbsolutePosition() const {
    Sincroniza();
    if (!Visible(posicion_)) return -1;
    if (!filtro_.activo() && !tabla_->HayBorrados()) return posicion_;
    qint64 n = 0;
    for (qint64 r = 0; r < posicion_; ++r) n += Visible(r);
    return n;
}

void Cursor::SetAbsolutePosition(qint64 posicion) {
    CancelUpdate();
    generacion_ = tabla_->generacion();
    if (posicion >= 0) {
        if (!filtro_.activo() && !tabla_->HayBorrados()) {
            if (posicion < tabla_->NumFisicos()) {
                posicion_ = posicion;
                return;
            }
        } else {
            qint64 k = -1;
            for (qint64 r = 0; r < tabla_->NumFisicos(); ++r)
                if (Visible(r) && ++k == posicion) {
                    posicion_ = r;
                    return;
                }
        }
    }
    throw ErrorTabla(QStringLiteral("Tabla «%1»: no hay un registro en la posición %2.").arg(tabla_->nombre()).arg(posicion));
}

void Cursor::FindFirst(const QString& criterio) {
    const Filtro buscado(*tabla_, AnalizaCriterio(criterio));
    Sincroniza();
    for (qint64 r = Siguiente(0); r < tabla_->NumFisicos(); r = Siguiente(r + 1)) {
        if (buscado.Cumple(*tabla_, tabla_->Registro(r))) {
            CancelUpdate();
            posicion_ = r;
            sinCoincidencia_ = false;
            return;
        }
    }
    sinCoincidencia_ = true;
}

Cursor Cursor::Clone() const {
    Sincroniza();
    Cursor copia(tabla_, filtro_, columnas_);
    copia.posicion_ = posicion_;
    return copia;
}

int Cursor::NumCampos() const { return columnas_.empty() ? int(tabla_->campos().size()) : int(columnas_.size()); }

int Cursor::ColumnaReal(int posicion) const {
    if (posicion < 0 || posicion >= NumCampos())
        throw ErrorTabla(QStringLiteral("Tabla «%1»: no tiene un campo en la posición %2.").arg(tabla_->nombre()).arg(posicion));
    return columnas_.empty() ? posicion : columnas_[size_t(posicion)];
}

int Cursor::PosicionDe(QStringView nombre) const {
    const int i = IndiceCampo(nombre);
    if (i < 0) throw ErrorTabla(QStringLiteral("Tabla «%1»: no tiene el campo «%2».").arg(tabla_->nombre(), nombre.toString()));
    return i;
}

const Campo& Cursor::CampoEn(int posicion) const { return tabla_->campos()[size_t(ColumnaReal(posicion))]; }

int Cursor::IndiceCampo(QStringView nombre) const {
    const int real = tabla_->IndiceCampo(nombre);
    if (columnas_.empty() || real < 0) return real;
    for (size_t i = 0; i < columnas_.size(); ++i)
        if (columnas_[i] == real) return int(i);
    return -1;
}

void Cursor::ExigeActual() const {
    Sincroniza();
    if (!Visible(posicion_))
        throw ErrorTabla(QStringLiteral("Tabla «%1»: no hay un registro actual.").arg(tabla_->nombre()));
}

QVariant Cursor::Valor(QStringView nombre) const { return Valor(PosicionDe(nombre)); }

QVariant Cursor::Valor(int posicion) const {
    const int real = ColumnaReal(posicion);
    if (modo_ != Modo::Ninguno) return TablaDbf::ValorDe(buffer_.constData(), tabla_->campos()[size_t(real)], tabla_->pagina());
    ExigeActual();
    return tabla_->Valor(posicion_, real);
}

void Cursor::AddNew() {
    CancelUpdate();
    Sincroniza();
    buffer_ = tabla_->RegistroVacio();
    modo_ = Modo::Alta;
}

void Cursor::Edit() {
    CancelUpdate();
    ExigeActual();
    buffer_ = QByteArray(tabla_->Registro(posicion_), tabla_->largoRegistro());
    modo_ = Modo::Edicion;
}

void Cursor::SetValor(QStringView nombre, const QVariant& valor) { SetValor(PosicionDe(nombre), valor); }

void Cursor::SetValor(int posicion, const QVariant& valor) {
    const int real = ColumnaReal(posicion);
    if (modo_ == Modo::Ninguno)
        throw ErrorTabla(QStringLiteral("Tabla «%1»: el registro no está en edición.").arg(tabla_->nombre()));
    tabla_->PonValor(buffer_, real, valor);
}

void Cursor::Update() {
    switch (modo_) {
        case Modo::Ninguno:
            throw ErrorTabla(QStringLiteral("Tabla «%1»: el registro no está en edición.").arg(tabla_->nombre()));
        case Modo::Alta:
            ultimoModificado_ = tabla_->Agrega(buffer_);
            break;
        case Modo::Edicion:
            ExigeActual();
            tabla_->Reescribe(posicion_, buffer_);
            ultimoModificado_ = posicion_;
            break;
    }
    modo_ = Modo::Ninguno;
    buffer_.clear();
}

void Cursor::AgregaVarios(const std::vector<QByteArray>& registros) {
    CancelUpdate();
    Sincroniza();
    if (registros.empty()) return;
    ultimoModificado_ = tabla_->AgregaVarios(registros) + qint64(registros.size()) - 1;
}

void Cursor::CancelUpdate() {
    modo_ = Modo::Ninguno;
    buffer_.clear();
}

void Cursor::Delete() {
    CancelUpdate();
    ExigeActual();
    tabla_->Borra(posicion_);
}

void Cursor::Asegura() const { tabla_->Asegura(); }

qint64 Cursor::Bookmark() const {
    ExigeActual();
    return posicion_;
}

void Cursor::SetBookmark(qint64 marca) {
    CancelUpdate();
    Sincroniza();
    if (!Visible(marca))
        throw ErrorTabla(QStringLiteral("Tabla «%1»: el registro marcado ya no existe.").arg(tabla_->nombre()));
    posicion_ = marca;
}

}  // namespace lorum
