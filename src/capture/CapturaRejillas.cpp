// The item grid and the country grid: cell checks, the unit list, unit price, totals, navigator and
// item counter; the country picker, the row limit and "Todos los paises".
#include "Captura.h"

#include "Archivos.h"
#include "BarraNavegacion.h"
#include "ControlesCatalogo.h"
#include "ControlesTexto.h"
#include "ErrorTabla.h"
#include "EstadoInicia.h"
#include "Numeros.h"
#include "RejillaLigada.h"
#include "ReglasCaptura.h"
#include "Resguardo.h"
#include "ServicioMensajes.h"
#include "TablasSolicitud.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

namespace lorum {

namespace {

using Icono = ServicioMensajes::Icono;

// Columns of the item grid and of the country grid, by their place in the tables.
enum ColPartida { kIdMerc, kPartida, kRfcPartida, kFraccion, kDescrip, kIdUm, kUnidad, kCantidad, kPrecio, kTotal };
enum ColPais { kRfcPais, kIdPais, kClave, kPais };

struct Columna {
    const char* encabezado;
    int ancho;  // pixels; 0 hides the column
    bool editable;
};
// IDMERC, the item's RFC and IDUM are typed by nobody (IDUM is set by choosing a unit): hidden, so
// the keyboard walks only the cells a person fills.
const Columna kColumnasPartida[] = {
    {"IDMERC", 0, false},  {"Partida", 60, true},  {"RFC", 0, false},         {"Fraccion", 80, true},
    {"Descripcion de la mercancia", 250, true},    {"IDUM", 0, false},        {"Unidad de Medida", 160, true},
    {"Cantidad", 90, true}, {"Precio", 100, true}, {"Total", 100, true},
};
const Columna kColumnasPais[] = {{"RFC", 120, true}, {"IDPAIS", 60, true}, {"Clave", 55, true}, {"País", 260, true}};

// The pixels a length in twips takes on this screen.
int Pixeles(int twips, const QWidget* w) { return qRound(twips * w->logicalDpiX() / 1440.0); }

}  // namespace

void Captura::PreparaRejillas() {
    auto prepara = [](RejillaLigada* r, const auto& columnas) {
        for (int c = 0; c < int(std::size(columnas)); ++c) {
            r->modelo()->PonEncabezado(c, QString::fromUtf8(columnas[c].encabezado));
            r->modelo()->PonEditable(c, columnas[c].editable);
            r->setColumnHidden(c, columnas[c].ancho == 0);
            if (columnas[c].ancho) r->setColumnWidth(c, columnas[c].ancho);
        }
    };
    prepara(dbProducto, kColumnasPartida);
    prepara(DBGPais, kColumnasPais);
}

void Captura::ConectaRejillas() {
    dbProducto->PonEstado(&estado_);
    DBGPais->PonEstado(&estado_);
    dbProducto->PonBoton(kUnidad);
    DBGPais->PonBoton(kPais);
    dbProducto->modelo()->PermiteAgregar(true);
    DBGPais->modelo()->PermiteAgregar(true);
    lstUM->setAccessibleName(QStringLiteral("Unidades de medida"));
    lstUM->installEventFilter(this);
    LstPais->setAccessibleName(QStringLiteral("Países"));

    // Items.
    ConectaRegla(estado_, dbProducto, &RejillaLigada::AfterColEdit, this, [this](int c) { VerificaCeldaPartida(c); });
    ConectaRegla(estado_, dbProducto, &RejillaLigada::BeforeColEdit, this, [this](int c, int, bool&) {
        if (c == kUnidad) MuestraUnidades(false);
    });
    ConectaRegla(estado_, dbProducto, &RejillaLigada::ButtonClick, this, [this](int c) {
        if (c == kUnidad) MuestraUnidades(true);
    });
    ConectaRegla(estado_, dbProducto, &RejillaLigada::CambioEnCelda, this, [this](int c, const QString& t) {
        if (c == kUnidad && lstUM->isVisible()) BuscaUnidad(t);
    });
    // Typing a unit: the arrows walk the list, Escape drops it with the edit.
    ConectaRegla(estado_, dbProducto, &RejillaLigada::TeclaEnCelda, this, [this](int c, int tecla, bool& usada) {
        if (c != kUnidad || !lstUM->isVisible()) return;
        if (tecla == Qt::Key_Escape) OcultaUnidades();
        if (tecla == Qt::Key_Down || tecla == Qt::Key_Up) {
            const int fila = lstUM->currentRow() + (tecla == Qt::Key_Down ? 1 : -1);
            lstUM->setCurrentRow(std::clamp(fila, 0, lstUM->count() - 1));
            usada = true;
        }
    });
    ConectaRegla(estado_, dbProducto, &RejillaLigada::RenglonGuardado, this, [this](int fila, bool) {
        PrecioDePartida(fila);
        TotalesDePartidas();
    });
    ConectaRegla(estado_, dbProducto, &RejillaLigada::AfterDelete, this, [this] { TotalesDePartidas(); });
    ConectaRegla(estado_, dbProducto, &RejillaLigada::Reposition, this, [this] { NavegaPartidas(); });
    ConectaRegla(estado_, dbProducto, &RejillaLigada::Validate, this, [this](int accion, int&) { CuentaPartidas(accion); });
    // The items were read anew (a new request, a recovery): they are counted again.
    connect(dbProducto->modelo(), &QAbstractItemModel::modelReset, this, [this] { nPartidas.reset(); });
    connect(lstUM, &QListWidget::itemDoubleClicked, this, [this] { Resguarda(estado_.mensajes, [this] { TomaUnidad(); }); });
    // Other grid actions while the unit list is shown hide it.
    for (QScrollBar* barra : {dbProducto->verticalScrollBar(), dbProducto->horizontalScrollBar()})
        connect(barra, &QScrollBar::valueChanged, this, [this] { OcultaUnidades(); });
    connect(dbProducto->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& actual, const QModelIndex& anterior) {
                if (actual.row() != anterior.row() || actual.column() != kUnidad) OcultaUnidades();
            });

    // The spare unit list: Enter takes the highlighted unit, Escape or leaving it hides it.
    ConectaRegla(estado_, LstUnidad, &ControlLst::KeyPress, this, [this](int& tecla) {
        if (tecla == 13) LstUnidad->ClickOperacion();
        else if (tecla != 27) return;
        LstUnidad->hide();
        tecla = 0;
    });
    ConectaRegla(estado_, LstUnidad, &ControlLst::DblClick, this, [this] {
        LstUnidad->ClickOperacion();
        LstUnidad->hide();
    });
    ConectaRegla(estado_, LstUnidad, &ControlCampo::LostFocus, this, [this] { LstUnidad->hide(); });
    ConectaRegla(estado_, TxtTotalDlls, &QLineEdit::textChanged, this, [this] { FormateaNumero(TxtTotalDlls, 14); });

    // Countries.
    ConectaRegla(estado_, DBGPais, &RejillaLigada::BeforeColEdit, this, [this](int c, int, bool& cancelar) {
        if (c != kPais) return;
        cancelar = true;
        MuestraPaises();
    });
    ConectaRegla(estado_, DBGPais, &RejillaLigada::ButtonClick, this, [this](int c) {
        if (c == kPais) MuestraPaises();
    });
    ConectaRegla(estado_, DBGPais, &RejillaLigada::AfterColEdit, this, [this](int c) {
        if (c == kClave && DBGPais->Texto(kClave).size() != 2)
            Avisa(QStringLiteral("La clave del país debe ser de 2 dígitos"), QStringLiteral("Dato requerido"),
                  int(Icono::Informacion));
    });
    ConectaRegla(estado_, DBGPais, &RejillaLigada::RenglonGuardado, this, [this](int, bool) { UltimoPais(); });
    ConectaRegla(estado_, DBGPais, &RejillaLigada::AfterDelete, this, [this] { UltimoPais(); });
    ConectaRegla(estado_, DBGPais, &RejillaLigada::Reposition, this, [this] { LimitePaises(); });
    ConectaRegla(estado_, DBGPais, &RejillaLigada::ColResize, this, [this](int c, bool&) { CenterHeadColumn(c); });
    ConectaRegla(estado_, DBGPais, &RejillaLigada::MouseMove, this, [this](int c) {
        if (c >= 0) StatusBar1->showMessage(reglas::AyudaColumnaPais(c));
    });
    ConectaRegla(estado_, DBGPais, &RejillaLigada::MouseDown, this, [this](int c) { DBGPais->setToolTip(reglas::TipColumnaPais(c)); });
    ConectaRegla(estado_, LstPais, &ControlLst::KeyPress, this, [this](int& tecla) {
        if (tecla == 13) TomaPais();
        else if (tecla == 27) OcultaPaises();
        else return;
        tecla = 0;
    });
    ConectaRegla(estado_, LstPais, &ControlLst::DblClick, this, [this] {
        const QString nombre = LstPais->LstData->currentItem() ? LstPais->LstData->currentItem()->text() : QString();
        if (ContieneValor(dtsPexPais.Registros(), QStringLiteral("nomcompai"), nombre)) {
            Avisa(QStringLiteral("Ya eligió ") + nombre, QStringLiteral("Dato requerido"), int(Icono::Informacion));
            return;
        }
        TomaPais();
    });
    ConectaRegla(estado_, LstPais, &ControlCampo::LostFocus, this, [this] { LstPais->hide(); });
    ConectaRegla(estado_, Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

bool Captura::eventFilter(QObject* objeto, QEvent* evento) {
    // The page tab that has the keyboard shows it in the focus colour.
    if (objeto == SSTab1->tabBar() && (evento->type() == QEvent::FocusIn || evento->type() == QEvent::FocusOut ||
                                       evento->type() == QEvent::Paint)) {
        QTabBar* pestanas = SSTab1->tabBar();
        for (int i = 0; i < pestanas->count(); ++i) {
            const QColor color = pestanas->hasFocus() && i == pestanas->currentIndex() ? QColor(75, 139, 203) : QColor();
            if (pestanas->tabTextColor(i) != color) pestanas->setTabTextColor(i, color);
        }
    }
    // The unit list: Enter takes the unit, Escape or losing the focus hides it.
    if (objeto == lstUM) {
        if (evento->type() == QEvent::KeyPress) {
            const int tecla = static_cast<QKeyEvent*>(evento)->key();
            if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter || tecla == Qt::Key_Escape) {
                Resguarda(estado_.mensajes, [&] {
                    if (tecla == Qt::Key_Escape) OcultaUnidades();
                    else TomaUnidad();
                    dbProducto->setFocus();
                });
                return true;
            }
        } else if (evento->type() == QEvent::FocusOut) {
            OcultaUnidades();
        }
    }
    return QWidget::eventFilter(objeto, evento);
}

void Captura::VerificaCeldaPartida(int columna) {
    if (columna == kUnidad) {
        // The unit chosen in the list; with none chosen the row keeps its unit.
        if (const QListWidgetItem* unidad = lstUM->currentItem(); unidad && lstUM->isVisible()) {
            dbProducto->PonTexto(kUnidad, unidad->text());
            dbProducto->PonTexto(kIdUm, unidad->data(Qt::UserRole));
        } else {
            const int fila = dbProducto->Row();
            dbProducto->PonTexto(kUnidad, dbProducto->modelo()->Valor(fila, kUnidad));
        }
        OcultaUnidades();
        return;
    }
    const QString error = reglas::ErrorCeldaPartida(columna, dbProducto->Texto(columna));
    if (error.isEmpty()) return;
    Avisa(error, QStringLiteral("LORUM"), int(Icono::Exclamacion));
    dbProducto->PonTexto(columna, QString());
}

void Captura::LlenaListas() {
    lstUM->clear();
    Cursor& um = dtsUM.Registros();
    for (um.MoveFirst(); !um.Eof(); um.MoveNext()) {
        auto* entrada = new QListWidgetItem(um.Valor(1).toString(), lstUM);
        entrada->setData(Qt::UserRole, qint16(um.Valor(0).toDouble()));
    }
}

void Captura::ColocaListaGrid(RejillaLigada* rejilla, int columna, QWidget* lista) {
    if (!rejilla || !lista) return;
    try {
        const int fila = std::max(rejilla->Row(), 0);
        const QRect celda = rejilla->RectCelda(fila, columna, this);
        const int alto = std::min(10 * rejilla->verticalHeader()->defaultSectionSize() + 4, height() / 2);
        int arriba = celda.bottom() + 1;
        if (arriba + alto > height()) arriba = std::max(0, celda.top() - alto);  // no room below: above the cell
        lista->setGeometry(celda.left(), arriba, celda.width() + Pixeles(15, this), alto);
        if (lista == lstUM) {
            LlenaListas();
            if (lstUM->count() > 0) lstUM->setCurrentRow(0);
        }
        lista->show();
        lista->raise();
    } catch (const std::exception&) {
        // Placing the list is a convenience: a failure leaves it as it was.
    }
}

void Captura::MuestraUnidades(bool conFoco) {
    ColocaListaGrid(dbProducto, kUnidad, lstUM);
    if (conFoco) lstUM->setFocus();
}

void Captura::BuscaUnidad(const QString& texto) {
    Cursor& um = dtsUM.Registros();
    um.FindFirst(QStringLiteral("u_medida Like '") + texto + QStringLiteral("*'"));
    if (um.NoMatch()) {
        // A text that names no unit chooses none: the row then keeps its unit.
        lstUM->setCurrentRow(-1);
        return;
    }
    const auto hallados = lstUM->findItems(um.Valor(u"U_MEDIDA").toString(), Qt::MatchExactly);
    if (!hallados.isEmpty()) lstUM->setCurrentItem(hallados.front());
}

void Captura::TomaUnidad() {
    const QListWidgetItem* unidad = lstUM->currentItem();
    OcultaUnidades();
    const int fila = dbProducto->Row();
    if (!unidad || fila < 0) return;
    dbProducto->GuardaCeldas(fila, {{kUnidad, unidad->text()}, {kIdUm, unidad->data(Qt::UserRole)}});
}

void Captura::OcultaUnidades() { lstUM->hide(); }

void Captura::PrecioDePartida(int fila) {
    // Any failure leaves the row as it was.
    try {
        const ModeloOrigen* m = dbProducto->modelo();
        const auto precio = reglas::PrecioUnitario(m->Valor(fila, kCantidad), m->Valor(fila, kTotal));
        if (precio && m->Valor(fila, kPrecio) != QVariant(*precio)) dbProducto->modelo()->Guarda(fila, {{kPrecio, *precio}});
    } catch (const std::exception&) {
    }
}

void Captura::TotalesDePartidas() {
    // A copy of the item cursor walks the table, so the grid's record stays current.
    Cursor c = dtsMercancia.Registros().Clone();
    std::vector<std::pair<QVariant, QVariant>> partidas;
    for (c.MoveFirst(); !c.Eof(); c.MoveNext()) partidas.emplace_back(c.Valor(kCantidad), c.Valor(kTotal));
    const reglas::Totales t = reglas::SumaPartidas(partidas);
    Text1->setText(t.cantidad);
    Text2->setText(t.valor);
}

void Captura::NavegaPartidas() {
    const Cursor& c = dtsMercancia.Registros();
    if (!nPartidas) {
        Cursor copia = c.Clone();
        copia.MoveLast();
        nPartidas = int(copia.RecordCount());
    }
    if (c.RecordCount() == 0) {
        NavegadorMercancia->setCaption(QStringLiteral("Sin partidas"));
        return;
    }
    NavegadorMercancia->setCaption(QStringLiteral("Partida: %1 de %2").arg(c.AbsolutePosition() + 1).arg(*nPartidas));
}

void Captura::CuentaPartidas(int accion) {
    if (!nPartidas) return;  // counted when first shown
    if (accion == 5) ++*nPartidas;
    if (accion == 7) --*nPartidas;
}

void Captura::FormateaNumero(QLineEdit* QCTexto, int QLong) {
    const auto formado = reglas::FormateaNumero(QCTexto->text());
    if (!formado) return;
    QCTexto->setMaxLength(QLong);
    if (*formado != QCTexto->text()) QCTexto->setText(*formado);
}

bool Captura::ContieneValor(const Cursor& registros, const QString& campo, const QString& valor) {
    try {
        Cursor copia = registros.Clone();
        for (copia.MoveFirst(); !copia.Eof(); copia.MoveNext())
            if (copia.Valor(campo).toString() == valor) return true;
    } catch (const std::exception&) {
    }
    return false;
}

void Captura::MuestraPaises() {
    ColocaListaGrid(DBGPais, kPais, LstPais);
    LstPais->setDatoTxt(DBGPais->Texto(kPais));
    LstPais->EligeCampo();
    LstPais->setFocus();
}

void Captura::TomaPais() {
    LstPais->ClickOperacion();
    qint16 columna = 2;
    const QString nombre = LstPais->GetStrLlave(columna);
    columna = 0;
    const qint16 idPais = LstPais->GetNumLlave(columna);
    columna = 1;
    const QString clave = LstPais->GetStrLlave(columna);
    OcultaPaises();
    const int fila = DBGPais->Row();
    if (LstPais->nLista < 0 || fila < 0) return;
    DBGPais->GuardaCeldas(fila, {{kPais, nombre}, {kRfcPais, dfRFC->Text()}, {kIdPais, idPais}, {kClave, clave}});
}

void Captura::OcultaPaises() {
    LstPais->hide();
    DBGPais->setFocus();
}

void Captura::LimitePaises() {
    const qint64 n = dtsPexPais.abierto() ? dtsPexPais.Registros().RecordCount() : 0;
    DBGPais->modelo()->PermiteAgregar(nMaxPaises == 0 || n < nMaxPaises);
}

void Captura::UltimoPais() {
    // After a row is added, changed or deleted the table's cursor goes to its last record.
    Cursor& c = dtsPexPais.Registros();
    c.MoveLast();
    LimitePaises();
    if (!c.Eof()) DBGPais->IrA(DBGPais->modelo()->FilaDe(c.Bookmark()));
}

void Captura::Command1_Click() {
    QDir::setCurrent(estado_.sRutaApp);
    dtsPexPais.Refresca();
    const auto r = estado_.mensajes->Muestra(QStringLiteral("¿Desea introducir todos los paises?"), QStringLiteral("Confirmar"),
                                             ServicioMensajes::Botones::SiNo, ServicioMensajes::Icono::Pregunta);
    if (r == ServicioMensajes::Respuesta::Si &&
        ReemplazaTabla(tablas::kTodosLosPaises, QStringLiteral("LORUMPAI.dbf"),
                       QStringLiteral("No se pudieron poner todos los países en «LORUMPAI.dbf» desde «%1»")
                           .arg(tablas::kTodosLosPaises)))
        Command1->setEnabled(false);
    dtsPexPais.Refresca();
    DBGPais->Relee();
}

}  // namespace lorum
