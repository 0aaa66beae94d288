#include "BarraNavegacion.h"

#include "RejillaLigada.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

namespace lorum {

namespace {

// The navigator's arrows, drawn here once: the style's media icons are looked up in the desktop's
// icon themes on disk, which costs the start-up more than the rest of the navigator.
QIcon Flecha(int paso) {
    static QIcon iconos[5];
    QIcon& icono = iconos[paso + 2];
    if (!icono.isNull()) return icono;
    for (const int lado : {16, 32}) {
        QPixmap p(lado, lado);
        p.fill(Qt::transparent);
        QPainter pintor(&p);
        pintor.setRenderHint(QPainter::Antialiasing);
        pintor.scale(lado / 16.0, lado / 16.0);
        pintor.setPen(Qt::NoPen);
        pintor.setBrush(QColor(60, 60, 70));
        const bool atras = paso < 0, hastaElFin = paso == -2 || paso == 2;
        auto triangulo = [&](qreal x) {
            const QPointF puntos[] = {{x + (atras ? 6 : 0), 3}, {x + (atras ? 6 : 0), 13}, {x + (atras ? 0 : 6), 8}};
            pintor.drawPolygon(puntos, 3);
        };
        if (hastaElFin) {
            triangulo(atras ? 6 : 4);
            pintor.drawRect(QRectF(atras ? 3 : 11, 3, 2, 10));
        } else {
            triangulo(atras ? 3 : 4);
            triangulo(atras ? 8 : 9);
        }
        pintor.end();
        icono.addPixmap(p);
    }
    return icono;
}

}  // namespace

BarraNavegacion::BarraNavegacion(RejillaLigada* rejilla, const QString& queNavega, QWidget* padre)
    : QWidget(padre), rejilla_(rejilla), leyenda_(new QLabel(this)) {
    auto* capa = new QHBoxLayout(this);
    capa->setContentsMargins(0, 0, 0, 0);
    const struct {
        const char* nombre;
        int paso;  // to the first (-2), previous (-1), next (1) or last (2) record
    } botones[] = {
        {"Primera", -2},
        {"Anterior", -1},
        {"Siguiente", 1},
        {"Última", 2},
    };
    for (const auto& b : botones) {
        auto* boton = new QToolButton(this);
        boton->setIcon(Flecha(b.paso));
        const QString nombre = QStringLiteral("%1 %2").arg(QString::fromUtf8(b.nombre), queNavega);
        boton->setToolTip(nombre);
        boton->setAccessibleName(nombre);
        boton->setAutoRaise(true);
        const int paso = b.paso;
        connect(boton, &QToolButton::clicked, this, [this, paso] {
            rejilla_->Resguardado([&] {
                const int ultimo = rejilla_->modelo()->NumRegistros() - 1;
                if (ultimo < 0) return;
                const int actual = std::min(std::max(rejilla_->Row(), 0), ultimo);
                const int fila = paso == -2 ? 0 : paso == 2 ? ultimo : std::clamp(actual + paso, 0, ultimo);
                rejilla_->IrA(fila);
            });
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
