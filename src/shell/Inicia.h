#pragma once

#include "Despachador.h"
#include "Plataforma.h"
#include "UnidadEntrega.h"
#include "EstadoInicia.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace lorum {

class AvisoGuardando;
class Bienvenida;
class GuardiaFoco;
class MDICaptura;
class ServicioCorreo;
class ServicioMensajes;
class ServicioSonido;

// The start-up module: owns the shared state and the windows that live for the whole run, and runs
// the start-up sequence once.
class Inicia {
public:
    static inline const QString kVersion = QStringLiteral(LORUM_VERSION);

    // Without a mail service the system's own is used.
    Inicia(ServicioMensajes& mensajes, ServicioSonido& sonido, ServicioCorreo* correo = nullptr);
    ~Inicia();

    // The start-up sequence on a data directory; false when the program must end (a second
    // instance, a data directory it cannot write into, a table-engine error). With an installed
    // copy, the directory is first brought up to date from it.
    bool Main(const QString& directorio, const QString& instalada = {});

    EstadoInicia& estado() { return estado_; }
    MDICaptura* ventana() const { return ventana_.get(); }
    Bienvenida* bienvenida() const { return bienvenida_.get(); }
    AvisoGuardando* form1() const { return form1_.get(); }
    void MuestraCaptura();

    // Qt's own texts (print and file dialogs, text context menus) in Spanish, from Qt's translations
    // or a "translations" folder beside the program; false when neither has them (they stay in English).
    static bool TraduceQt();

    // The lock file that keeps a second instance out of the data directory while it is locked; the
    // system frees the lock when the instance ends, however it ends, and a normal end removes the file.
    static QString RutaCandado(const QString& directorio);

    // Run just before the first window is built (the program waits there for the fonts).
    std::function<void()> AntesDeLaPrimeraVentana;
    // The delivery drive given on the command line, if any.
    std::optional<QString> opcionUnidad;
    // The removable media and the remembered choices (tests give their own, before Main).
    void PonMedios(std::unique_ptr<MediosDeEntrega> medios) { medios_ = std::move(medios); }
    MediosDeEntrega& medios() { return *medios_; }

private:
    bool UnaSolaInstancia(const QString& directorio);
    bool DirectorioEscribible(const QString& directorio);
    void AseguraRegistros();

    EstadoInicia estado_;
    Despachador despachador_;
    ServicioSonido& sonido_;
    std::unique_ptr<ServicioCorreo> correoPropio_;
    std::unique_ptr<MediosDeEntrega> medios_ = std::make_unique<MediosDeEntrega>();
    // The data folder's lock, freed after the windows below are gone; just before it, at a normal
    // end, the program's listed temporary files of the folder go too, unless a change was left to
    // the next start.
    std::unique_ptr<Candado> candado_;
    struct Limpieza {
        QString datos;
        ~Limpieza();
    } limpieza_;
    std::unique_ptr<GuardiaFoco> guardia_;
    std::unique_ptr<MDICaptura> ventana_;
    std::unique_ptr<Bienvenida> bienvenida_;
    std::unique_ptr<AvisoGuardando> form1_;
};

}  // namespace lorum
