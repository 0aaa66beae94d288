#pragma once

#include "Bienvenida.h"
#include "Captura.h"
#include "GeneradorDatos.h"
#include "Inicia.h"
#include "MDICaptura.h"
#include "MensajesGuionados.h"
#include "OrigenDatos.h"
#include "ServicioSonido.h"

#include <QApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace lorum::prueba {

class SonidoFalso : public ServicioSonido {
public:
    void Reproduce(const QString& ruta) override { rutas << ruta; }
    QStringList rutas;
};

// A data directory laid out as the build lays it out, and a start-up run on it.
class Arranque : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), dir.path());
    }
    // Starts the program; loading a placeholder applicant shows the RFC check's message once, and
    // the script answers it.
    bool Arranca() {
        if (EsperaAvisoRfc()) mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
        inicia = std::make_unique<Inicia>(mensajes, sonido);
        return inicia->Main(dir.path());
    }
    bool EsperaAvisoRfc() {
        Cursor c = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.5;"), QStringLiteral("empresas"));
        if (c.RecordCount() == 0) return true;
        c.MoveLast();
        const QString rfc = c.Valor(u"RFC").toString();
        return !rfc.trimmed().isEmpty() && rfc.size() < 13;
    }
    MDICaptura& Ventana() { return *inicia->ventana(); }
    // The keyboard to the main window: the offscreen platform would let the welcome window keep it.
    void PrestaTeclado() {
        inicia->bienvenida()->hide();
        QApplication::processEvents();
        QApplication::setActiveWindow(&Ventana());
        QApplication::processEvents();
    }
    Captura& Forma() { return *inicia->ventana()->captura(); }

    QTemporaryDir dir;
    MensajesGuionados mensajes;
    SonidoFalso sonido;
    std::unique_ptr<Inicia> inicia;
};

}  // namespace lorum::prueba
