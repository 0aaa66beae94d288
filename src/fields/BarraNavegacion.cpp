#include "BarraNavegacion.h"

#include "RejillaLigada.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace lorum {

BarraNavegacion::BarraNavegacion(RejillaLigada* rejilla, const QString& queNavega, QWidget* padre)
    : QWidget(padre), rejilla_(rejilla), leyenda_(new QLabel(this)) {
    auto* capa = new QHBoxLayout(this);
    capa->setContentsMargins(0, 0, 0, 0);
    const struct {
        QStyle::StandardPixmap icono;
        const char* nombre;
        int paso;  // to the first (-2), previous (-1), next (1) or last (2) record
    } botones[] = {
        {QStyle::SP_MediaSkipBackward, "Primera", -2},
        {QStyle::SP_MediaSeekBackward, "Anterior", -1},
        {QStyle::SP_MediaSeekForward, "Siguiente", 1},
        {QStyle::SP_MediaSkipForward, "Última", 2},
    };
    for (const auto& b : botones) {
        auto* boton = new QToolButton(this);
        boton->setIcon(style()->standardIcon(b.icono));
        const QString nombre = QStringLiteral("%1 %2").arg(QString::fromUtf8(b.nombre), queNavega);
        boton->setToolTip(nombre);
        boton->setAccessibleName(nombre);
        boton->setAutoRaise(true);
        const int paso = b.paso;
        connect(boton, &QToolButton::clicked, this, [this, paso] {
            const int ultimo = rejilla_->modelo()->NumRegistros() - 1;
            if (ultimo < 0) return;
            const int actual = std::min(std::max(rejilla_->Row(), 0), ultimo);
            const int fila = paso == -2 ? 0 : paso == 2 ? ultimo : std::clamp(actual + paso, 0, ultimo);
            rejilla_->IrA(fila);
        });
        if (b.paso == 1) capa->addWidget(leyenda_, 1);
        capa->addWidget(boton);
    }
    leyenda_->setAlignment(Qt::AlignCenter);
    leyenda_->setFrameShape(QFrame::StyledPanel);
    setAccessibleName(queNavega);
}

void BarraNavegacion::setCaption(const QString& texto) {
    leyenda_->setText(texto);
    leyenda_->setAccessibleName(texto);
}

QString BarraNavegacion::Caption() const { return leyenda_->text(); }

}  // namespace lorum
