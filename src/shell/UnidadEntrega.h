#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace lorum {

// The delivery drive, "la unidad A:": a folder, and where it was taken from. The command line wins,
// then the environment (LORUM_UNIDAD_A), then the medium the user chose in "Unidad de entrega...",
// then the platform's own (A:\ on Windows, /media/floppy elsewhere).
struct UnidadEntrega {
    enum class Origen { LineaDeOrdenes, Entorno, Elegida, Predeterminada };
    Origen origen = Origen::Predeterminada;
    QString carpeta;

    static UnidadEntrega Resuelve(const std::optional<QString>& opcion, const QString& entorno, const QString& elegida,
                                  const QString& predeterminada);
    // Where it comes from, for the system information and the chooser: "elegida en «Unidad de
    // entrega...»", ...
    QString Procedencia() const;
};

// A volume as the system lists it.
struct Volumen {
    QString raiz;      // mount point, or drive root ("E:/")
    QString etiqueta;  // the medium's label, or empty
    qint64 libre = -1;
    bool extraible = false;  // the system calls it removable (Windows drive types)
    bool listo = true;
};

// A medium the user may deliver to: a removable drive or a mount point under /media or /run/media.
struct MedioExtraible {
    QString nombre;   // its label, else the last part of its folder, else the drive letter
    QString carpeta;  // native form
    qint64 libre = -1;
    QString Texto() const;  // "MEMORIA — /media/ana/MEMORIA — 3.2 GB libres"
};
std::vector<MedioExtraible> MediosExtraibles(const std::vector<Volumen>& volumenes);

// The seam that lists the mounted media and remembers the user's choice; tests give their own list
// and settings file.
class MediosDeEntrega {
public:
    // `ajustes`: an ini file for the remembered choice; empty, the user's own settings.
    explicit MediosDeEntrega(QString ajustes = {});
    virtual ~MediosDeEntrega() = default;
    virtual std::vector<Volumen> Volumenes() const;  // the system's mounted volumes (platform file)
    std::vector<MedioExtraible> Medios() const { return MediosExtraibles(Volumenes()); }
    QString Recordada() const;
    void Recuerda(const QString& carpeta);
    // The last saved or opened copies of requests, newest first (at most kRecientes).
    static constexpr int kRecientes = 8;
    QStringList Recientes() const;
    void AgregaReciente(const QString& carpeta);

private:
    QString ajustes_;
};

// The platform's own delivery drive (Plataforma_*.cpp).
QString UnidadPredeterminada();

}  // namespace lorum
