#pragma once

#include <QWidget>
#include <functional>

namespace lorum {

// The welcome window: centred, with the version, the fixed texts and a picture; it hides itself as
// soon as the mouse moves over its own surface (not over its picture or labels), on the first key or
// click in the program, and after a few seconds.
class Bienvenida : public QWidget {
    Q_OBJECT
public:
    explicit Bienvenida(const QString& version, QWidget* padre = nullptr);
    static QString TextoVersion(const QString& version);  // "1.0.9" -> "Ver. 1.09"
    void MuestraCentrada();
    static constexpr int kSegundos = 6;

protected:
    void mouseMoveEvent(QMouseEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void hideEvent(QHideEvent* evento) override;
};

// The "Guardando Información" notice: 2500 ms after each showing it hides itself and runs the
// given action (showing the capture form).
class AvisoGuardando : public QWidget {
    Q_OBJECT
public:
    explicit AvisoGuardando(std::function<void()> alTerminar, QWidget* padre = nullptr);
    void Muestra();
    static constexpr int kMilisegundos = 2500;

private:
    std::function<void()> alTerminar_;
};

}  // namespace lorum
