#pragma once

#include "ImprimeQt.h"
#include "ServicioMensajes.h"

#include <QApplication>
#include <QWidget>
#include <QString>
#include <deque>
#include <gtest/gtest.h>
#include <vector>

namespace lorum::prueba {

// Message service for tests: records every message and answers from a script; a message with no
// answer left fails the test.
class MensajesGuionados : public ServicioMensajes {
public:
    struct Mensaje {
        QString texto;
        QString titulo;
        Botones botones;
        Icono icono;
        bool ocupado;  // the busy pointer was showing
        bool sobreVentana;  // a main window was on the screen
    };

    void Responde(Respuesta r) { respuestas_.push_back(r); }
    Respuesta Muestra(const QString& texto, const QString& titulo, Botones botones, Icono icono) override {
        bool ventana = false;
        for (QWidget* w : QApplication::topLevelWidgets()) ventana = ventana || (w->isVisible() && w->inherits("QMainWindow"));
        mostrados.push_back({texto, titulo, botones, icono, QApplication::overrideCursor() != nullptr, ventana});
        if (respuestas_.empty()) {
            ADD_FAILURE() << "Mensaje inesperado: " << texto.toStdString() << " (" << titulo.toStdString() << ")";
            return botones == Botones::Aceptar ? Respuesta::Aceptar : Respuesta::Cancelar;
        }
        const Respuesta r = respuestas_.front();
        respuestas_.pop_front();
        return r;
    }
    bool SinRespuestasPendientes() const { return respuestas_.empty(); }
    QStringList Textos() const {
        QStringList t;
        for (const auto& m : mostrados) t << m.texto;
        return t;
    }

    std::vector<Mensaje> mostrados;

private:
    std::deque<Respuesta> respuestas_;
};

}  // namespace lorum::prueba
