#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

namespace lorum {

class ServicioMensajes;

// Support lines shown in the about window and the comments window.
inline constexpr char16_t kTelefonoSoporte[] = u"800 123 4567, de lunes a viernes de 9:00 a 18:00 horas";
inline constexpr char16_t kOficinaEmisora[] = u"Ventanilla de Permisos de Importación y Exportación";

// The about window: what the program is, its version, the support telephone line and the issuing
// office, and "&System Info...", which starts the platform's system information tool or, where there
// is none, shows a window of our own with what a support call needs.
class frmAbout : public QDialog {
    Q_OBJECT
  public:
    frmAbout(const QString& rutaDatos, const QString& unidadA, ServicioMensajes& mensajes,
             QWidget* padre = nullptr);

    void StartSysInfo();

    // The system information tool: where it is (empty when there is none) and starting it (false
    // when it would not start). Tests replace both.
    std::function<QString()> BuscaHerramienta;
    std::function<bool(const QString&)> ArrancaHerramienta;

    QLabel* lblDescripcion;
    QLabel* lblVersion;
    QLabel* Label2;
    QLabel* Label1;
    QLabel* Label3;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

  private:
    QString rutaDatos_, unidadA_;
    ServicioMensajes& mensajes_;
};

// Our own system information window, for platforms without the tool: the facts as text, "&Copiar"
// puts them on the clipboard for a mail, "&Cerrar".
class frmInfoSistema : public QDialog {
    Q_OBJECT
  public:
    frmInfoSistema(const QString& informe, QWidget* padre = nullptr);
};

}  // namespace lorum
