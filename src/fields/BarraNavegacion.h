#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

namespace lorum {

class RejillaLigada;

// The record navigator of a bound grid: first, previous, next and last buttons around a caption the
// host writes ("Partida: 3 de 10"). The buttons move the grid's current row.
class BarraNavegacion : public QWidget {
    Q_OBJECT
public:
    BarraNavegacion(RejillaLigada* rejilla, const QString& queNavega, QWidget* padre = nullptr);
    void setCaption(const QString& texto);
    QString Caption() const;

private:
    RejillaLigada* rejilla_;
    QLabel* leyenda_;
};

}  // namespace lorum
