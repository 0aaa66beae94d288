#include "ArranquePrueba.h"
#include "ComandosRejilla.h"
#include "ControlChk.h"
#include "ControlesCatalogo.h"
#include "ControlesTexto.h"
#include "Despachador.h"
#include "ErrorTabla.h"
#include "GuardiaFoco.h"
#include "IconosBarra.h"
#include "RejillaLigada.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QLineEdit>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace lorum;
using namespace lorum::prueba;

namespace {

using R = ServicioMensajes::Respuesta;

// A started program whose operations only record their names, and whose end is only recorded.
class Principal : public Arranque {
protected:
    void SetUp() override {
        Arranque::SetUp();
        ASSERT_TRUE(Arranca());
        for (auto& [nombre, accion] : Ventana().Operaciones) {
            const QString n = nombre;
            accion = [this, n] { operaciones << n; };
        }
        Ventana().Termina = [this] { ++terminaciones; };
        mensajes.mostrados.clear();  // the start-up's own messages
        PrestaTeclado();
    }
    QString NombreAccesible(QObject* o) {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(o);
        return i ? i->text(QAccessible::Name) : QString();
    }

    QStringList operaciones;
    int terminaciones = 0;
};

}  // namespace

TEST_F(Principal, MenusConSusTeclasYAtajos) {
    // The capture form's caption shows in the title, as a maximised child window's would.
    EXPECT_EQ(Ventana().windowTitle(), QStringLiteral("LORUM - [Disco de Captura ver 1.0.9]"));
    // Each command's entry and button run its operation and carry its key; the entries with no
    // command do nothing.
    for (const auto& c : MDICaptura::Comandos()) {
        for (const char* nombre : {c.entrada, c.boton}) {
            if (!nombre || !c.operacion) continue;  // "Salir" asks first: the exit dialog has its own test
            QAction* a = Ventana().Accion(QString::fromUtf8(nombre));
            ASSERT_NE(a, nullptr) << nombre;
            EXPECT_EQ(a->shortcut(), nombre == c.entrada || !c.entrada ? c.atajo : QKeySequence()) << nombre;
            operaciones.clear();
            a->trigger();
            EXPECT_EQ(operaciones, QStringList{QString::fromLatin1(c.operacion)}) << nombre;
            if (nombre == c.boton) {
                EXPECT_EQ(a->property("tag").toString(), QLatin1String(c.tag)) << nombre;
            }
        }
    }
    EXPECT_EQ(Ventana().Accion("mnuSisSalir")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(Ventana().Accion("mnuSisAbrir")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    for (const char* nada : {"mnuEditEdit", "mnuEdit", "mnutablaseleccionar", "mnutablaageborrar"}) {
        operaciones.clear();
        Ventana().Accion(QLatin1String(nada))->trigger();
        EXPECT_TRUE(operaciones.isEmpty()) << nada;
    }
}

TEST_F(Principal, LaBarraDespachaPorSuEtiqueta) {
    const struct {
        const char* boton;
        const char* operacion;
        QKeySequence atajo;  // the commands only the toolbar has
    } casos[] = {
        {"Limpiar", "LimpiaInformacion", QKeySequence(Qt::CTRL | Qt::Key_N)}, {"Imprime", "ImprimirAcuse", {}},
        {"Guarda", "GuardaInformacion", {}}, {"Considera", "MuestraConsideraciones", {}}, {"Genera", "GeneraDisco", {}},
        {"Recupera Información", "RecuperaDisco", QKeySequence(Qt::CTRL | Qt::Key_R)},
        {"Importa Mercancias", "ImportaInfo", {}},
        {"Recuperar Mercancias", "RecuperaMercancias", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R)},
    };
    for (const auto& c : casos) {
        operaciones.clear();
        QAction* a = Ventana().Accion(QString::fromUtf8(c.boton));
        ASSERT_NE(a, nullptr) << c.boton;
        EXPECT_FALSE(a->icon().isNull()) << c.boton << ": every button has its icon";
        a->trigger();
        EXPECT_EQ(operaciones, QStringList{QString::fromLatin1(c.operacion)}) << c.boton;
        if (c.atajo.isEmpty()) continue;
        operaciones.clear();
        QTest::keySequence(QApplication::focusWidget(), c.atajo);
        EXPECT_EQ(operaciones, QStringList{QString::fromLatin1(c.operacion)}) << c.boton << ": by its key";
        EXPECT_TRUE(a->toolTip().endsWith(QStringLiteral(" (%1)").arg(c.atajo.toString(QKeySequence::NativeText))));
    }
    EXPECT_EQ(Ventana().Accion("Genera")->toolTip(), QStringLiteral("Genera disco para entregar a Talveros"));
    EXPECT_TRUE(Ventana().Accion("Recuperar Mercancias")->property("tag").toString().isEmpty());

    // A tag that matches nothing runs nothing; the separators carry 1, 5 and 8.
    operaciones.clear();
    QAction otra;
    otra.setProperty("tag", QStringLiteral("12"));
    Ventana().Toolbar1_ButtonClick(&otra);
    for (QAction* a : Ventana().Toolbar1->actions())
        if (a->isSeparator()) Ventana().Toolbar1_ButtonClick(a);
    EXPECT_TRUE(operaciones.isEmpty());

    mensajes.Responde(R::Cancelar);
    Ventana().Accion("Salir")->trigger();
    ASSERT_EQ(mensajes.mostrados.size(), 1u);
    EXPECT_EQ(mensajes.mostrados[0].titulo, QStringLiteral("Fin de la aplicación"));
}

// The program carries the icons as pixels drawn at build time; pixels that are not whole are never
// shown as an icon: the icon is drawn instead.
TEST(IconosDeBarra, DeSusPixelesOBienDibujados) {
    const QByteArray pixeles = PixelesDeIconos();
    for (const QByteArray& dados : {pixeles, pixeles.left(pixeles.size() - 1), QByteArray()})
        for (const IconoDeBarra& i : IconosDeBarra()) {
            const QImage visto = IconoDeBoton(i.llave, dados)
                                     .pixmap(kLadoIcono)
                                     .toImage()
                                     .convertToFormat(QImage::Format_ARGB32_Premultiplied);
            EXPECT_EQ(visto, DibujaIcono(i.color, QString::fromUtf8(i.signo)))
                << i.llave << " from " << dados.size() << " bytes";
        }
    EXPECT_TRUE(IconoDeBoton("Ninguno", pixeles).isNull());
}

TEST_F(Principal, SalirPorElMenu) {
    mensajes.Responde(R::Cancelar);
    Ventana().mnuSisSalir_Click();
    EXPECT_EQ(terminaciones, 0);
    EXPECT_TRUE(operaciones.isEmpty());
    const auto& m = mensajes.mostrados.back();
    EXPECT_EQ(m.texto, QStringLiteral("¿Desea guardar sus información antes de salir?"));
    EXPECT_EQ(m.botones, ServicioMensajes::Botones::SiNoCancelar);
    EXPECT_EQ(m.icono, ServicioMensajes::Icono::Pregunta);

    // Yes with data missing: the save's list, then the refusal; the program stays.
    Ventana().Guarda = [] { return false; };
    mensajes.Responde(R::Si);
    mensajes.Responde(R::Aceptar);
    Ventana().mnuSisSalir_Click();
    EXPECT_EQ(terminaciones, 0);
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("No se pudo guardar, falta información."));
    EXPECT_EQ(mensajes.mostrados.back().titulo, QStringLiteral("Dato requerido"));

    // Yes with a save that fails in the table engine: its message, and the program stays.
    Ventana().Guarda = []() -> bool { throw ErrorTabla(QStringLiteral("Tabla «lorums.dbf»: no se pudo escribir.")); };
    mensajes.Responde(R::Si);
    mensajes.Responde(R::Aceptar);
    Ventana().mnuSisSalir_Click();
    EXPECT_EQ(terminaciones, 0);
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("Tabla «lorums.dbf»: no se pudo escribir."));

    Ventana().Guarda = [] { return true; };
    mensajes.Responde(R::Si);
    Ventana().mnuSisSalir_Click();
    EXPECT_EQ(terminaciones, 1);
    mensajes.Responde(R::No);
    Ventana().mnuSisSalir_Click();
    EXPECT_EQ(terminaciones, 2);
}

TEST_F(Principal, CerrarLaVentanaPreguntaUnaVez) {
    mensajes.Responde(R::Cancelar);
    EXPECT_FALSE(Ventana().close());
    EXPECT_TRUE(Ventana().isVisible());
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("¿Desea guardar su información antes de salir?"));
    EXPECT_EQ(mensajes.mostrados.back().titulo, QStringLiteral("Confirmar"));

    Ventana().Guarda = [] { return false; };
    mensajes.Responde(R::Si);
    mensajes.Responde(R::Aceptar);
    EXPECT_FALSE(Ventana().close());
    EXPECT_EQ(terminaciones, 0);

    mensajes.Responde(R::No);
    EXPECT_TRUE(Ventana().close());
    EXPECT_EQ(terminaciones, 1);
    EXPECT_TRUE(mensajes.SinRespuestasPendientes());
}

TEST_F(Principal, UnErrorDelMotorTerminaSoloLaOrden) {
    Ventana().Operaciones["ImprimirAcuse"] = [] { throw ErrorTabla(QStringLiteral("Tabla «mercanci.dbf»: dañada.")); };
    mensajes.Responde(R::Aceptar);
    Ventana().Accion("mnuFuncImprime")->trigger();
    ASSERT_EQ(mensajes.mostrados.size(), 1u);
    EXPECT_EQ(mensajes.mostrados[0].texto, QStringLiteral("Tabla «mercanci.dbf»: dañada."));
    Ventana().Accion("mnuFuncGuardar")->trigger();
    EXPECT_EQ(operaciones, QStringList{"GuardaInformacion"});
}

TEST_F(Principal, BorrarRenglonesSeleccionadosDeUnaRejillaLigada) {
    Captura& f = Forma();
    Cursor& paises = f.dtsPexPais.Registros();
    for (const char* clave : {"MX", "US", "CA", "ES"}) {
        paises.AddNew();
        paises.SetValor(u"CVESHCP", QString::fromLatin1(clave));
        paises.Update();
    }
    RejillaLigada& rejilla = *f.DBGPais;
    rejilla.Relee();
    ASSERT_EQ(rejilla.modelo()->NumRegistros(), 4);
    for (int fila : {0, 1, 3}) {
        rejilla.setCurrentIndex(rejilla.model()->index(fila, 2));
        Ventana().Accion("mnutablapaisselecciona")->trigger();
    }
    mensajes.Responde(R::No);
    Ventana().Accion("mnutablapaisborra")->trigger();
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("¿ Confirma la eliminación de los 3 registros seleccionados ?"));
    EXPECT_EQ(mensajes.mostrados.back().titulo, QStringLiteral("Advertencia"));
    EXPECT_EQ(mensajes.mostrados.back().botones, ServicioMensajes::Botones::SiNo);
    EXPECT_EQ(mensajes.mostrados.back().icono, ServicioMensajes::Icono::Ninguno);
    EXPECT_EQ(f.dtsPexPais.Registros().RecordCount(), 4);

    mensajes.Responde(R::Si);
    Ventana().Accion("mnutablapaisborra")->trigger();
    ASSERT_EQ(rejilla.modelo()->NumRegistros(), 1);
    EXPECT_EQ(rejilla.model()->index(0, 2).data().toString(), QStringLiteral("CA"));

    // The pop-up menu opens from the keyboard (Menu key, Shift+F10), on either grid.
    for (const auto& [grid, mod] : {std::pair{f.dbProducto, Qt::ShiftModifier}, {f.DBGPais, Qt::NoModifier}}) {
        grid->setCurrentIndex(grid->model()->index(0, 1));
        QTest::keyClick(grid, mod == Qt::ShiftModifier ? Qt::Key_F10 : Qt::Key_Menu, mod);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << "no pop-up menu from the keyboard";
        if (grid == f.dbProducto) {
            menu->close();
            continue;
        }
        // None selected: the current row, asked in the singular; chosen from the keyboard.
        mensajes.Responde(R::Si);
        menu->setActiveAction(Ventana().Accion("mnutablapaisborra"));
        QTest::keyClick(menu, Qt::Key_Return);
        QApplication::processEvents();
    }
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("¿ Confirma la eliminación del registro actual ?"));
    EXPECT_EQ(rejilla.modelo()->NumRegistros(), 0);
    EXPECT_EQ(AbreCursor(dir.path(), QStringLiteral("FoxPro 2.5;"), "LORUMPAI").RecordCount(), 0);

    // A grid that does not allow deleting keeps its rows; an empty grid selects nothing.
    SeleccionaRenglon(rejilla);
    EXPECT_TRUE(rejilla.SelBookmarks().empty());
}

TEST_F(Principal, AjustesDeLosCamposYNombresAccesibles) {
    Captura& f = Forma();
    EXPECT_EQ(f.dfRFC->NombreCampo, QStringLiteral("RFC de la Empresa"));
    EXPECT_EQ(f.dfRFC->dfTxt->maxLength(), 13);
    EXPECT_FALSE(f.dfRFC->bAceptaNulos);
    EXPECT_EQ(f.TxtMlUso->NombreCampo, QStringLiteral("TxtMlUso")) << "the missing-data list keeps the field's name";
    EXPECT_EQ(Ventana().focusWidget(), f.dfRFC->dfTxt) << "the form starts at the RFC";

    // Choosing a procedure leaves its key and name in the form's last-choice variables.
    f.cmbTramite->setDatoTxt(2);
    f.cmbTramite->EligeCampo();
    EXPECT_EQ(f.nUltimaLlave, 2);
    EXPECT_EQ(f.sUltimoTexto, QStringLiteral("PERMISO PREVIO DE EXPORTACIÓN"));

    // Every control that takes the focus is heard by what it is: a name that is no control's name,
    // and that stays when a value is chosen or typed.
    QSet<QString> internos;
    for (QObject* o : f.findChildren<QObject*>()) internos << o->objectName();
    internos.remove(QString());
    auto nombres = [&] {
        std::map<QWidget*, QString> n;
        for (QWidget* w : f.findChildren<QWidget*>())
            if (w->focusPolicy() & Qt::TabFocus) n[w] = NombreAccesible(w);
        return n;
    };
    const auto antes = nombres();
    for (const auto& [w, nombre] : antes) {
        const std::string cual = w->metaObject()->className() + (" " + w->objectName().toStdString()) + " in " +
                                 (w->parentWidget() ? w->parentWidget()->objectName().toStdString() : "");
        EXPECT_FALSE(nombre.trimmed().isEmpty()) << cual;
        EXPECT_FALSE(internos.contains(nombre)) << cual << ": " << nombre.toStdString();
    }
    for (ControlCmb* cmb : {f.CmbEstado, f.cmbRegimen, f.cmbDestino, f.cmbUM}) {
        cmb->setDatoTxt(1);
        cmb->EligeCampo();
    }
    f.CmbEstado->setText(QStringLiteral("nu"));
    EXPECT_TRUE(antes == nombres()) << "a name follows no value";
    EXPECT_EQ(NombreAccesible(f.TxtMlUso->dfTxtMl), QStringLiteral("Uso específico de la mercancía"));
    EXPECT_EQ(NombreAccesible(f.Text1), QStringLiteral("Cantidad"));
    EXPECT_EQ(NombreAccesible(f.ChkFot), NombreAccesible(f.ChkFot->Check)) << "a container and its box agree";
    EXPECT_EQ(NombreAccesible(f.SSTab1), QStringLiteral("Páginas de la solicitud"));
    // The page tab list keeps its name whatever the page, and holds the pages' tabs.
    f.SSTab1->setCurrentIndex(2);
    QAccessibleInterface* pestanas = QAccessible::queryAccessibleInterface(f.SSTab1->tabBar());
    EXPECT_EQ(pestanas->text(QAccessible::Name), QStringLiteral("Páginas de la solicitud"));
    ASSERT_EQ(pestanas->childCount(), f.SSTab1->count());
    QAccessibleInterface* mercancia = pestanas->child(2);
    EXPECT_EQ(mercancia->text(QAccessible::Name), QStringLiteral("Mercancía"));
    EXPECT_EQ(mercancia->role(), QAccessible::PageTab);
    EXPECT_TRUE(mercancia->state().selected);
    EXPECT_EQ(pestanas->indexOfChild(mercancia), 2);
    pestanas->child(4)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(f.SSTab1->currentIndex(), 4);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(f.CmbEstado->cmbData)->text(QAccessible::Value), QStringLiteral("nu"));
}

TEST_F(Principal, ConTabuladorSeRecorrenLosCamposEnOrden) {
    Captura& f = Forma();
    f.dfRFC->setDatoTxt(QStringLiteral("ABCD010101XY1"));
    f.dfRFC->setFocus();
    QStringList visitados;
    // The page tabs themselves take one stop between the header and the first page.
    for (int i = 0; i < 20 && visitados.size() < 16; ++i) {
        if (ControlCampo* c = GuardiaFoco::CampoDe(QApplication::focusWidget())) visitados << c->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    const QStringList esperado = {"dfRFC",    "CtrdfTxtRSPat", "CtrdfTxtMat", "CtrdfTxtNom", "cmbTramite",
                                  "cmbRegimen", "cmbDestino",  "TxtFraccion", "ChkUsado",    "TxtCalle",
                                  "TxtCP",      "TxtColonia",  "TxtDelMun",   "CmbEstado",   "TxtTelefono", "TxtFax"};
    EXPECT_EQ(visitados.join(' ').toStdString(), esperado.join(' ').toStdString());

    // The toolbar comes after the form, on the first page and on one built after the window was shown,
    // and Shift+Tab from the first field goes round to its last button.
    auto boton = [] { return qobject_cast<QToolButton*>(QApplication::focusWidget()); };
    auto accion = [&] { return boton() && boton()->defaultAction() ? boton()->defaultAction()->objectName() : QString(); };
    EXPECT_EQ(accion(), QStringLiteral("Limpiar"));  // the walk's last Tab left TxtFax
    f.SSTab1->setCurrentIndex(7);
    QApplication::processEvents();
    f.ChkNin->Check->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(accion(), QStringLiteral("Limpiar"));
    f.dfRFC->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(accion(), QStringLiteral("Recuperar Mercancias"));
}

TEST_F(Principal, CambiarDePaginaLlevaElFocoASuPrimerCampo) {
    Captura& f = Forma();
    f.dfRFC->setDatoTxt(QStringLiteral("ABCD010101XY1"));
    f.dfRFC->setFocus();
    QTest::keyClick(&Ventana(), Qt::Key_E, Qt::AltModifier);
    QApplication::processEvents();
    EXPECT_EQ(f.SSTab1->currentIndex(), 1);
    EXPECT_EQ(GuardiaFoco::CampoDe(QApplication::focusWidget()), f.TxtAcredita);
    QTest::keyClick(&Ventana(), Qt::Key_X, Qt::AltModifier);
    QApplication::processEvents();
    EXPECT_EQ(f.SSTab1->currentIndex(), 6);
    EXPECT_EQ(GuardiaFoco::CampoDe(QApplication::focusWidget()), f.TxtMlJust);
}
