#pragma once
// The toolbar's own icons: a coloured tile with a short sign. They are drawn once, when the program
// is built, into raw pixels the program carries in its resources: drawing the signs at start-up
// would load a bold font and shape text before the first window shows.
#include <QByteArray>
#include <QColor>
#include <QIcon>
#include <QImage>
#include <array>

namespace lorum {

struct IconoDeBarra {
    const char* llave;  // the toolbar button's name
    QColor color;
    const char* signo;
};

inline constexpr int kLadoIcono = 32;

const std::array<IconoDeBarra, 9>& IconosDeBarra();

// Draws one icon (kLadoIcono square, premultiplied ARGB).
QImage DibujaIcono(const QColor& color, const QString& signo);

// Every icon in table order, as the resources hold them.
QByteArray PixelesDeIconos();

// The icon of a toolbar button: from the pixels in `pixeles` when they are whole, otherwise drawn.
QIcon IconoDeBoton(const char* llave, const QByteArray& pixeles);

}  // namespace lorum
