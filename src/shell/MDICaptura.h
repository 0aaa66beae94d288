#pragma once

#include <QDialog>
#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <vector>

class QMenu;
class QToolBar;

namespace lorum {

class Captura;
class ControlIntercambio;
class Despachador;
class MediosDeEntrega;
struct EstadoInicia;

// The main window "LORUM": menu bar, toolbar and the grids' pop-up menus; every command runs a
// capture-form operation through the dispatcher. It owns both exit dialogs.
class MDICaptura : public QMainWindow {
    Q_OBJECT
public:
    MDICaptura(EstadoInicia& estado, Despachador& despachador, MediosDeEntrega& medios, QWidget* padre = nullptr);

    // The program's commands: each with the operation it runs, its menu entry and its toolbar
    // button (tag, place, the separator before it), and its key (on the entry, or on the button
    // when it has no entry). The menus and the toolbar are built from this table.
    enum class Comando {
        UnidadEntrega, GuardarCopia, AbrirGuardada, Salir,
        Guardar, GeneraDisco, ImportaInfo, ImportaOtroLibro, Imprimir, GuardarPdf,
        Consideraciones, Comentarios, Acerca,
        Limpiar, RecuperaDisco, RecuperaMercancias,
    };
    struct DefinicionComando {
        Comando comando;
        const char* operacion;  // in Operaciones; nullptr: "Salir", which asks first
        const char* menu;       // the menu's name, or nullptr
        const char* entrada;    // the entry's name
        const char* texto;
        const char* boton;      // the button's name, or nullptr
        const char* consejo;
        const char* tag;        // the button's tag ("" none)
        int lugar;              // its place on the toolbar
        int separador;          // the tag of a separator before it, or 0
        QKeySequence atajo;
    };
    static const std::vector<DefinicionComando>& Comandos();
    // The controller of the delivery medium and the copies of requests.
    ControlIntercambio* intercambio() const { return intercambio_; }

    Captura* captura() const { return captura_; }
    // The capture form's other pages and the grids' pop-up menus, once the window is on the screen
    // (throws ErrorTabla).
    void CompletaVentana();
    QAction* Accion(const QString& nombre) const;  // a menu entry or toolbar button by its name
    QMenu* Menu(const QString& nombre) const;
    QToolBar* Toolbar1 = nullptr;

    // Dispatches a toolbar button by its tag.
    void Toolbar1_ButtonClick(QAction* boton);
    void mnuSisSalir_Click();
    // The capture form's closing step; true refuses the closing.
    bool Form_Unload();

    // The save the exit dialogs run; true when the tables hold the form. Tests replace it.
    std::function<bool()> Guarda;
    // Ends the program at once, without any further closing step. Tests replace it.
    std::function<void()> Termina;

    // What each command runs, by operation name ("GuardaInformacion", "MuestraAcerca", ...).
    std::map<QString, std::function<void()>> Operaciones;
    void Opera(const QString& nombre);

protected:
    void closeEvent(QCloseEvent* evento) override;

private:
    void CreaMenus();
    void CreaBarra();
    void CreaMenusEmergentes();
    QAction* NuevaAccion(QMenu* menu, const char* nombre, const QString& texto, const QKeySequence& atajo,
                         std::function<void()> accion);
    void Corre(const std::function<void()>& accion);
    bool SalidaConGuardado();
    // A help window that does not block the main window: created on first use, destroyed when closed,
    // brought forward when asked for again while open.
    void Muestra(QPointer<QDialog>& ventana, const std::function<QDialog*()>& crea);

    EstadoInicia& estado_;
    Despachador& despachador_;
    Captura* captura_;
    bool terminando_ = false;
    std::map<QString, QAction*> acciones_;
    std::map<QString, QMenu*> menus_;
    QPointer<QDialog> ayuda_, acerca_, comentarios_;
    ControlIntercambio* intercambio_ = nullptr;
    void Ejecuta(const DefinicionComando& c);
};

}  // namespace lorum
