#include "MDICaptura.h"

#include "Captura.h"
#include "ComandosRejilla.h"
#include "ControlIntercambio.h"
#include "Despachador.h"
#include "DlgMail.h"
#include "EstadoInicia.h"
#include "IconosBarra.h"
#include "RejillaLigada.h"
#include "ServicioMensajes.h"
#include "frmAbout.h"
#include "frmayuda.h"

#include <QApplication>
#include <algorithm>
#include <QCloseEvent>
#include <QDir>
#include <QMenuBar>
#include <QResource>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>

namespace lorum {

namespace {

QString sinAmpersand(QString texto) { return texto.remove(QLatin1Char('&')); }

}  // namespace

const std::vector<MDICaptura::DefinicionComando>& MDICaptura::Comandos() {
    using C = Comando;
    static const std::vector<DefinicionComando> comandos = {
        {C::UnidadEntrega, "EligeUnidad", "mnuSis", "mnuSisUnidad", "&Unidad de entrega...", nullptr, nullptr, "", 0, 0, {}},
        {C::GuardarCopia, "GuardaCopia", "mnuSis", "mnuSisCopia", "&Guardar copia de la solicitud...", nullptr, nullptr, "", 0, 0, {}},
        {C::AbrirGuardada, "AbreGuardada", "mnuSis", "mnuSisAbrir", "A&brir solicitud guardada...", nullptr, nullptr, "", 0, 0,
         QKeySequence(Qt::CTRL | Qt::Key_O)},
        {C::Salir, nullptr, "mnuSis", "mnuSisSalir", "S&alir", "Salir", "Salir", "9", 8, 0, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {C::Guardar, "GuardaInformacion", "mnuFunc", "mnuFuncGuardar", "Guardar", "Guarda", "Guardar solicitud", "4", 3, 0,
         QKeySequence(Qt::CTRL | Qt::Key_G)},
        {C::GeneraDisco, "GeneraDisco", "mnuFunc", "mnuFuncGenera", "Genera Disco", "Genera", "Genera disco para entregar a Talveros",
         "7", 5, 0, QKeySequence(Qt::CTRL | Qt::Key_D)},
        {C::ImportaInfo, "ImportaInfo", "mnuFunc", "mnuImpoInf", "Importa Información", "Importa Mercancias", "Importa Mercancias",
         "13", 7, 0, QKeySequence(Qt::CTRL | Qt::Key_M)},
        {C::ImportaOtroLibro, "ImportaOtroLibro", "mnuFunc", "mnuImpoOtro", "Importa de otro libro...", nullptr, nullptr, "", 0, 0,
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M)},
        {C::Imprimir, "ImprimirAcuse", "mnuFunc", "mnuFuncImprime", "Imprimir", "Imprime", "Imprimir solicitud", "3", 2, 0,
         QKeySequence(Qt::CTRL | Qt::Key_I)},
        {C::GuardarPdf, "ImprimirPdf", "mnuFunc", "mnuFuncPdf", "Guardar PDF...", nullptr, nullptr, "", 0, 0,
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P)},
        {C::Consideraciones, "MuestraConsideraciones", "mnuAyu", "mnuAyuConsidera", "Consideraciones", "Considera",
         "Consideraciones de llenado", "6", 4, 5, QKeySequence(Qt::Key_F1)},
        {C::Comentarios, "MuestraComentarios", "mnuAyu", "mnuAyuComent", "Enviar comentarios ...", nullptr, nullptr, "", 0, 0, {}},
        {C::Acerca, "MuestraAcerca", "mnuAyu", "mnuAyuAcerca", "Acerca de ...", nullptr, nullptr, "", 0, 0, {}},
        {C::Limpiar, "LimpiaInformacion", nullptr, nullptr, nullptr, "Limpiar", "Limpiar/Nuevo", "2", 1, 1,
         QKeySequence(Qt::CTRL | Qt::Key_N)},
        {C::RecuperaDisco, "RecuperaDisco", nullptr, nullptr, nullptr, "Recupera Información", "Recupera Información", "11", 6, 8,
         QKeySequence(Qt::CTRL | Qt::Key_R)},
        {C::RecuperaMercancias, "RecuperaMercancias", nullptr, nullptr, nullptr, "Recuperar Mercancias", "Recuperar Mercancias", "",
         9, 0, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R)},
    };
    return comandos;
}

void MDICaptura::Ejecuta(const DefinicionComando& c) {
    if (c.operacion) Opera(QString::fromLatin1(c.operacion));
    else mnuSisSalir_Click();
}

MDICaptura::MDICaptura(EstadoInicia& estado, Despachador& despachador, MediosDeEntrega& medios, QWidget* padre)
    : QMainWindow(padre), estado_(estado), despachador_(despachador), captura_(new Captura(estado, this)) {
    intercambio_ = new ControlIntercambio(estado, *captura_, medios, this);
    setObjectName(QStringLiteral("MDICaptura"));
    setWindowTitle(QStringLiteral("LORUM"));
    setCentralWidget(captura_);
    // The capture form is a maximised child window: its caption shows in the main window's title.
    connect(captura_, &QWidget::windowTitleChanged, this, [this](const QString& titulo) {
        setWindowTitle(titulo.isEmpty() ? QStringLiteral("LORUM") : QStringLiteral("LORUM - [%1]").arg(titulo));
    });
    // The operations the commands run, by the capture form's names.
    Operaciones = {
        {QStringLiteral("GuardaInformacion"), [this] { captura_->GuardaInformacion(); }},
        {QStringLiteral("LimpiaInformacion"), [this] { captura_->LimpiaInformacion(); }},
        {QStringLiteral("ImprimirAcuse"), [this] { captura_->ImprimirAcuse(); }},
        {QStringLiteral("ImprimirPdf"), [this] { captura_->ImprimirPdf(); }},
        {QStringLiteral("GeneraDisco"), [this] { captura_->GeneraDisco(); }},
        {QStringLiteral("RecuperaDisco"), [this] { captura_->RecuperaDisco(); }},
        {QStringLiteral("RecuperaMercancias"), [this] { captura_->RecuperaMercancias(); }},
        {QStringLiteral("ImportaInfo"), [this] { captura_->ImportaInfo(); }},
        {QStringLiteral("ImportaOtroLibro"), [this] { captura_->ImportaOtroLibro(); }},
        {QStringLiteral("MuestraConsideraciones"),
         [this] {
             Muestra(ayuda_, [this] {
                 return new frmayuda(QDir(estado_.sRutaApp).filePath(QStringLiteral("considera.rtf")), *estado_.mensajes, this);
             });
         }},
        {QStringLiteral("MuestraComentarios"),
         [this] { Muestra(comentarios_, [this] { return new DlgMail(*estado_.correo, *estado_.mensajes, this); }); }},
        {QStringLiteral("MuestraAcerca"),
         [this] {
             Muestra(acerca_, [this] {
                 const QString unidad = estado_.sOrigenUnidad.isEmpty()
                                            ? estado_.sUnidadA
                                            : QStringLiteral("%1 (%2)").arg(QDir::toNativeSeparators(estado_.sUnidadA), estado_.sOrigenUnidad);
                 return new frmAbout(estado_.sRutaApp, unidad, *estado_.mensajes, this);
             });
         }},
        {QStringLiteral("EligeUnidad"), [this] { intercambio_->EligeUnidadDeEntrega(); }},
        {QStringLiteral("GuardaCopia"), [this] { intercambio_->GuardaCopia(); }},
        {QStringLiteral("AbreGuardada"), [this] { intercambio_->AbreGuardada(); }},
    };
    Guarda = [this] { return captura_->GuardaInformacion(); };
    Termina = [this] {
        terminando_ = true;
        QApplication::closeAllWindows();
        QApplication::quit();
    };
    CreaMenus();
    CreaBarra();
    resize(900, 680);
}

void MDICaptura::CompletaVentana() {
    if (captura_->Completa()) return;
    captura_->CompletaPaginas();
    CreaMenusEmergentes();
    // The pages built now come after the toolbar in the Tab order; the toolbar goes back after the form.
    QWidget* previo = nullptr;
    for (QWidget* w = captura_->nextInFocusChain(); w != captura_; w = w->nextInFocusChain())
        if (captura_->isAncestorOf(w) && w->focusPolicy() != Qt::NoFocus) previo = w;
    for (QToolButton* b : Toolbar1->findChildren<QToolButton*>()) {
        if (b->focusPolicy() == Qt::NoFocus) continue;
        QWidget::setTabOrder(previo, b);
        previo = b;
    }
}

void MDICaptura::Corre(const std::function<void()>& accion) { despachador_.Ejecuta(accion); }

void MDICaptura::Muestra(QPointer<QDialog>& ventana, const std::function<QDialog*()>& crea) {
    if (!ventana) {
        ventana = crea();
        ventana->setAttribute(Qt::WA_DeleteOnClose);
    }
    ventana->show();
    ventana->raise();
    ventana->activateWindow();
}

void MDICaptura::Opera(const QString& nombre) {
    if (const auto it = Operaciones.find(nombre); it != Operaciones.end() && it->second) it->second();
}

QAction* MDICaptura::NuevaAccion(QMenu* menu, const char* nombre, const QString& texto, const QKeySequence& atajo,
                                 std::function<void()> accion) {
    QAction* a = menu->addAction(texto);
    a->setObjectName(QLatin1String(nombre));
    if (!atajo.isEmpty()) a->setShortcut(atajo);
    if (accion) connect(a, &QAction::triggered, this, [this, accion] { Corre(accion); });
    acciones_[a->objectName()] = a;
    return a;
}

void MDICaptura::CreaMenus() {
    auto menu = [this](const char* nombre, const QString& titulo) {
        QMenu* m = menuBar()->addMenu(titulo);
        m->setObjectName(QLatin1String(nombre));
        m->setAccessibleName(sinAmpersand(titulo));
        menus_[m->objectName()] = m;
        return m;
    };
    std::map<QString, QMenu*> porNombre;
    porNombre["mnuSis"] = menu("mnuSis", QStringLiteral("&Sistema"));
    QMenu* edi = menu("mnuEdi", QStringLiteral("&Edición"));
    NuevaAccion(edi, "mnuEditEdit", QStringLiteral("Editar"), {}, nullptr);
    NuevaAccion(edi, "mnuEdit", QStringLiteral("Borrar"), {}, nullptr);
    porNombre["mnuFunc"] = menu("mnuFunc", QStringLiteral("&Función"));
    porNombre["mnuAyu"] = menu("mnuAyu", QStringLiteral("&Ayuda"));
    for (const DefinicionComando& c : Comandos()) {
        if (!c.menu) continue;
        QMenu* m = porNombre[QLatin1String(c.menu)];
        if (c.comando == Comando::Salir) m->addSeparator()->setObjectName(QStringLiteral("mnuSisSep"));
        if (c.comando == Comando::Acerca) m->addSeparator()->setObjectName(QStringLiteral("mnuAyuSep2"));
        NuevaAccion(m, c.entrada, QString::fromUtf8(c.texto), c.atajo, [this, &c] { Ejecuta(c); });
        if (c.comando == Comando::AbrirGuardada) {
            // The last copies opened or saved, read when the menu opens.
            QMenu* recientes = m->addMenu(QStringLiteral("Solicitudes &recientes"));
            recientes->setObjectName(QStringLiteral("mnuSisRecientes"));
            menus_[recientes->objectName()] = recientes;
            connect(recientes, &QMenu::aboutToShow, this, [this, recientes] {
                Corre([this, recientes] { intercambio_->LlenaRecientes(recientes, [this](const std::function<void()>& f) { Corre(f); }); });
            });
        }
    }
}

void MDICaptura::CreaBarra() {
    Toolbar1 = addToolBar(QStringLiteral("Barra de herramientas"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    auto separador = [this](int tag) { Toolbar1->addSeparator()->setProperty("tag", QString::number(tag)); };
    // Commands only the toolbar has get a key of their own, shown after the tool tip's text.
    const QByteArray pixeles = QResource(QStringLiteral(":/lorum/iconos-barra.rgba")).uncompressedData();
    auto boton = [this, &pixeles](const char* llave, const char* consejo, const QString& tag,
                                  const QKeySequence& atajo = {}) {
        QAction* a = Toolbar1->addAction(IconoDeBoton(llave, pixeles), QString::fromUtf8(consejo));
        a->setObjectName(QString::fromUtf8(llave));
        a->setShortcut(atajo);
        a->setToolTip(atajo.isEmpty() ? QString::fromUtf8(consejo)
                                      : QStringLiteral("%1 (%2)").arg(QString::fromUtf8(consejo), atajo.toString(QKeySequence::NativeText)));
        a->setProperty("tag", tag);
        connect(a, &QAction::triggered, this, [this, a] { Toolbar1_ButtonClick(a); });
        acciones_[a->objectName()] = a;
    };
    std::vector<const DefinicionComando*> botones;
    for (const DefinicionComando& c : Comandos())
        if (c.boton) botones.push_back(&c);
    std::sort(botones.begin(), botones.end(), [](auto* a, auto* b) { return a->lugar < b->lugar; });
    for (const DefinicionComando* c : botones) {
        if (c->separador) separador(c->separador);
        // A key goes on the button only when the command has no menu entry to carry it.
        boton(c->boton, c->consejo, QString::fromLatin1(c->tag), c->entrada ? QKeySequence() : c->atajo);
    }
    // The button imports "mercancia.xls"; its tip names the keys of both imports.
    acciones_[QStringLiteral("Importa Mercancias")]->setToolTip(
        QStringLiteral("Importa Mercancias (%1; de otro libro: %2)")
            .arg(QKeySequence(Qt::CTRL | Qt::Key_M).toString(QKeySequence::NativeText),
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M).toString(QKeySequence::NativeText)));
    // The toolbar's buttons are reached with Tab too, after the form.
    for (QToolButton* b : Toolbar1->findChildren<QToolButton*>()) b->setFocusPolicy(Qt::TabFocus);
    // F10 opens the menu bar, as on other desktops.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, [this] {
        if (!menuBar()->actions().isEmpty()) menuBar()->setActiveAction(menuBar()->actions().front());
    });
}

void MDICaptura::Toolbar1_ButtonClick(QAction* boton) {
    // Each button is told by its tag; the one without a tag recovers the items.
    const QString tag = boton->property("tag").toString();
    for (const DefinicionComando& c : Comandos())
        if (c.boton && tag == QLatin1String(c.tag)) {
            Corre([this, &c] { Ejecuta(c); });
            return;
        }
}

void MDICaptura::CreaMenusEmergentes() {
    auto emergente = [this](const char* nombre, const QString& titulo) {
        auto* m = new QMenu(titulo, this);
        m->setObjectName(QLatin1String(nombre));
        menus_[m->objectName()] = m;
        return m;
    };
    QMenu* adu = emergente("mnutablaadu", QStringLiteral("TablaAduana"));
    NuevaAccion(adu, "mnutablaaduselecciona", QStringLiteral("Seleccionar registro"), {},
                [this] { SeleccionaRenglon(*captura_->dbProducto); });
    adu->addSeparator()->setObjectName(QStringLiteral("mnutablaadusep"));
    NuevaAccion(adu, "mnutablaaduborra", QStringLiteral("Borra registro"), {}, [this] {
        BorraSeleccion(*captura_->dbProducto, captura_->dtsMercancia, *estado_.mensajes);
    });

    QMenu* pais = emergente("mnutablapais", QStringLiteral("TablaPais"));
    NuevaAccion(pais, "mnutablapaisselecciona", QStringLiteral("Selecciona registro"), {},
                [this] { SeleccionaRenglon(*captura_->DBGPais); });
    pais->addSeparator()->setObjectName(QStringLiteral("mnutablapaissep"));
    NuevaAccion(pais, "mnutablapaisborra", QStringLiteral("Borra registro"), {},
                [this] { BorraSeleccion(*captura_->DBGPais, captura_->dtsPexPais, *estado_.mensajes); });

    // Two further menus are kept with their entries; nothing shows them and their entries do nothing.
    QMenu* tabla = emergente("mnutabla", QStringLiteral("TablaMercancia"));
    NuevaAccion(tabla, "mnutablaseleccionar", QStringLiteral("Seleccionar registro"), {}, nullptr);
    tabla->addSeparator()->setObjectName(QStringLiteral("mnutablasepara"));
    NuevaAccion(tabla, "mnutablaborrar", QStringLiteral("Borrar registro"), {}, nullptr);
    QMenu* age = emergente("mnutablaage", QStringLiteral("TablaAgente"));
    NuevaAccion(age, "mnutablaageselecciona", QStringLiteral("Seleccionar registro"), {}, nullptr);
    age->addSeparator()->setObjectName(QStringLiteral("mnutablaagesep"));
    NuevaAccion(age, "mnutablaageborrar", QStringLiteral("Borra registro"), {}, nullptr);

    connect(captura_->dbProducto, &RejillaLigada::BotonDerechoSoltado, adu, [adu](const QPoint& p) { adu->popup(p); });
    connect(captura_->DBGPais, &RejillaLigada::BotonDerechoSoltado, pais, [pais](const QPoint& p) { pais->popup(p); });
}

QAction* MDICaptura::Accion(const QString& nombre) const {
    const auto it = acciones_.find(nombre);
    return it == acciones_.end() ? nullptr : it->second;
}

QMenu* MDICaptura::Menu(const QString& nombre) const {
    const auto it = menus_.find(nombre);
    return it == menus_.end() ? nullptr : it->second;
}

bool MDICaptura::SalidaConGuardado() {
    // A save that failed with an engine error must not end the program either.
    bool guardado = false;
    const bool corrio = despachador_.Ejecuta([this, &guardado] { guardado = Guarda(); });
    if (corrio && guardado) return true;
    if (corrio)
        estado_.mensajes->Muestra(QStringLiteral("No se pudo guardar, falta información."), QStringLiteral("Dato requerido"),
                                  ServicioMensajes::Botones::Aceptar, ServicioMensajes::Icono::Informacion);
    return false;
}

void MDICaptura::mnuSisSalir_Click() {
    switch (estado_.mensajes->Muestra(QStringLiteral("¿Desea guardar sus información antes de salir?"),
                                      QStringLiteral("Fin de la aplicación"), ServicioMensajes::Botones::SiNoCancelar,
                                      ServicioMensajes::Icono::Pregunta)) {
        case ServicioMensajes::Respuesta::Si:
            if (SalidaConGuardado()) Termina();
            break;
        case ServicioMensajes::Respuesta::No: Termina(); break;
        default: break;
    }
}

bool MDICaptura::Form_Unload() {
    switch (estado_.mensajes->Muestra(QStringLiteral("¿Desea guardar su información antes de salir?"),
                                      QStringLiteral("Confirmar"), ServicioMensajes::Botones::SiNoCancelar,
                                      ServicioMensajes::Icono::Pregunta)) {
        case ServicioMensajes::Respuesta::Si:
            if (!SalidaConGuardado()) return true;
            Termina();
            return false;
        case ServicioMensajes::Respuesta::No: Termina(); return false;
        default: return true;
    }
}

void MDICaptura::closeEvent(QCloseEvent* evento) {
    if (terminando_) {
        evento->accept();
        return;
    }
    if (Form_Unload()) evento->ignore();
    else evento->accept();
}

}  // namespace lorum
