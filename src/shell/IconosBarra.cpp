#include "IconosBarra.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <cstring>

namespace lorum {

const std::array<IconoDeBarra, 9>& IconosDeBarra() {
    static const std::array<IconoDeBarra, 9> iconos = {{
        {"Limpiar", QColor(90, 160, 90), "N"},
        {"Imprime", QColor(100, 100, 110), "P"},
        {"Guarda", QColor(40, 100, 180), "G"},
        {"Considera", QColor(200, 150, 40), "?"},
        {"Genera", QColor(150, 80, 160), "D"},
        {"Recupera Información", QColor(60, 140, 150), "R"},
        {"Importa Mercancias", QColor(60, 120, 60), "XL"},
        {"Salir", QColor(180, 60, 60), "X"},
        {"Recuperar Mercancias", QColor(60, 140, 150), "RM"},
    }};
    return iconos;
}

QImage DibujaIcono(const QColor& color, const QString& signo) {
    QImage p(kLadoIcono, kLadoIcono, QImage::Format_ARGB32_Premultiplied);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setBrush(color);
    g.setPen(QPen(color.darker(140), 1.5));
    g.drawRoundedRect(QRectF(2, 2, 28, 28), 6, 6);
    QFont f = g.font();
    f.setBold(true);
    f.setPixelSize(signo.size() > 1 ? 11 : 17);
    g.setFont(f);
    g.setPen(Qt::white);
    g.drawText(QRect(2, 2, 28, 28), Qt::AlignCenter, signo);
    return p;
}

namespace {
constexpr qsizetype kBytesIcono = qsizetype(kLadoIcono) * kLadoIcono * 4;
}

QByteArray PixelesDeIconos() {
    QByteArray todos;
    for (const IconoDeBarra& i : IconosDeBarra()) {
        const QImage imagen = DibujaIcono(i.color, QString::fromUtf8(i.signo));
        for (int y = 0; y < kLadoIcono; ++y)
            todos.append(reinterpret_cast<const char*>(imagen.constScanLine(y)), kLadoIcono * 4);
    }
    return todos;
}

QIcon IconoDeBoton(const char* llave, const QByteArray& pixeles) {
    const auto& iconos = IconosDeBarra();
    for (qsizetype n = 0; n < qsizetype(iconos.size()); ++n) {
        if (std::strcmp(iconos[n].llave, llave) != 0) continue;
        if (pixeles.size() == qsizetype(iconos.size()) * kBytesIcono) {
            QImage imagen(kLadoIcono, kLadoIcono, QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < kLadoIcono; ++y)
                std::memcpy(imagen.scanLine(y),
                            pixeles.constData() + n * kBytesIcono + qsizetype(y) * kLadoIcono * 4,
                            kLadoIcono * 4);
            return QIcon(QPixmap::fromImage(imagen));
        }
        return QIcon(QPixmap::fromImage(DibujaIcono(iconos[n].color, QString::fromUtf8(iconos[n].signo))));
    }
    return {};
}

}  // namespace lorum
