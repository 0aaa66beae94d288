#include "Captura.h"

#include "Borrador.h"

#include "Accesibilidad.h"
#include "BarraNavegacion.h"
#include "ControlChk.h"
#include "ControlesCatalogo.h"
#include "ControlesTexto.h"
#include "Form2.h"
#include "GuardiaFoco.h"
#include "ServicioMensajes.h"
#include "EstadoInicia.h"
#include "RejillaLigada.h"
#include "Resguardo.h"
#include "ServiciosCampos.h"

#include <QApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace lorum {

namespace {

// A caption whose access key reaches its field: the buddy is the widget that takes the focus.
QLabel* etiqueta(const QString& texto, QWidget* companero) {
    auto* l = new QLabel(texto);
    if (companero) l->setBuddy(companero->focusProxy() ? companero->focusProxy() : companero);
    return l;
}

struct Fuente {
    OrigenDatos* origen;
    QString conexion;
    QString fuente;
};

void Abre(const QString& directorio, std::initializer_list<Fuente> fuentes) {
    for (const Fuente& f : fuentes) {
        f.origen->Conecta(directorio, f.conexion, f.fuente);
        f.origen->Refresca();
    }
}

}  // namespace

template <typename T>
T* Captura::Nuevo(const char* nombre) {
    auto* control = new T(this);
    control->setObjectName(QLatin1String(nombre));
    if constexpr (std::is_base_of_v<ControlCampo, T>) {
        control->PonBarraEstado(StatusBar1);
        control->PonMensajes(estado_.mensajes);
    }
    controles_.push_back(control);
    return control;
}

QLineEdit* Captura::CajaSimple(const char* nombre, const QString& leyenda) {
    auto* caja = Nuevo<QLineEdit>(nombre);
    caja->setProperty("lorumTipo", QStringLiteral("TextBox"));
    caja->setAccessibleName(leyenda);
    return caja;
}

Captura::Captura(EstadoInicia& estado, QWidget* padre) : QWidget(padre), estado_(estado) {
    setObjectName(QStringLiteral("Captura"));
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setAccessibleName(QStringLiteral("Barra de estado"));
    connect(StatusBar1, &QStatusBar::messageChanged, StatusBar1,
            [this](const QString& texto) { StatusBar1->setAccessibleDescription(texto); });
    ConstruyeEncabezado();
    ConstruyePaginas();
    // Check boxes and buttons take the focus colours of the fields (the fields, the grids and the page
    // tabs mark themselves).
    MarcaFocoDeBotones(this);
    AjustaCampos(0);
    controlesEncabezado_ = controles_.size();
    CmbEstado->nColumnaLlave = 1;  // the state is stored by its number, the catalog's second column
    ConectaBorrador(0);

    auto* capa = qobject_cast<QVBoxLayout*>(layout());
    capa->addWidget(StatusBar1);
    setTabOrder(dfRFC, CtrdfTxtRSPat);
}

void Captura::ConstruyeEncabezado() {
    dfRFC = Nuevo<ControldfTxt>("dfRFC");
    CtrdfTxtRSPat = Nuevo<ControldfTxt>("CtrdfTxtRSPat");
    CtrdfTxtMat = Nuevo<ControldfTxt>("CtrdfTxtMat");
    CtrdfTxtNom = Nuevo<ControldfTxt>("CtrdfTxtNom");
    cmbTramite = Nuevo<ControlCmb>("cmbTramite");
    cmbRegimen = Nuevo<ControlCmb>("cmbRegimen");
    cmbDestino = Nuevo<ControlCmb>("cmbDestino");
    TxtFraccion = Nuevo<ControldfTxt>("TxtFraccion");
    ChkUsado = Nuevo<ControlChk>("ChkUsado");

    auto* capa = new QVBoxLayout(this);
    auto* rejilla = new QGridLayout;
    rejilla->addWidget(etiqueta(QStringLiteral("&RFC"), dfRFC), 0, 0);
    rejilla->addWidget(dfRFC, 0, 1);
    rejilla->addWidget(etiqueta(QStringLiteral("Ra&z. Soc./ Pat."), CtrdfTxtRSPat), 0, 2);
    rejilla->addWidget(CtrdfTxtRSPat, 0, 3);
    rejilla->addWidget(etiqueta(QStringLiteral("M&aterno"), CtrdfTxtMat), 1, 0);
    rejilla->addWidget(CtrdfTxtMat, 1, 1);
    rejilla->addWidget(etiqueta(QStringLiteral("&Nombre (s)"), CtrdfTxtNom), 1, 2);
    rejilla->addWidget(CtrdfTxtNom, 1, 3);
    rejilla->addWidget(etiqueta(QStringLiteral("Trá&mite"), cmbTramite), 2, 0);
    rejilla->addWidget(cmbTramite, 2, 1, 1, 3);
    rejilla->addWidget(etiqueta(QStringLiteral("Ré&gimen"), cmbRegimen), 3, 0);
    rejilla->addWidget(cmbRegimen, 3, 1);
    rejilla->addWidget(etiqueta(QStringLiteral("Destino"), cmbDestino), 3, 2);
    rejilla->addWidget(cmbDestino, 3, 3);
    rejilla->addWidget(etiqueta(QStringLiteral("&Fracción"), TxtFraccion), 4, 0);
    rejilla->addWidget(TxtFraccion, 4, 1);
    rejilla->addWidget(ChkUsado, 4, 3);
    rejilla->setColumnStretch(1, 1);
    rejilla->setColumnStretch(3, 2);
    capa->addLayout(rejilla);
}

const Captura::Pagina Captura::kPaginas[8] = {
    {&Captura::PaginaGenerales, "&Generales"}, {&Captura::PaginaRepresentante, "R&epresentante"},
    {&Captura::PaginaMercancia, "Mer&cancía"}, {&Captura::PaginaDescripcion, "&Desc Mercancía"},
    {&Captura::PaginaPais, "&País"},           {&Captura::PaginaAnexos1, "A&nexos1"},
    {&Captura::PaginaAnexo2, "Ane&xo2"},       {&Captura::PaginaAnexo3, "Anexo 3"},
};

void Captura::ConstruyePaginas() {
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setAccessibleName(QStringLiteral("Páginas de la solicitud"));
    NombraPestanas(SSTab1->tabBar(), QStringLiteral("Páginas de la solicitud"));
    SSTab1->tabBar()->installEventFilter(this);
    // Every page's tab now; only the first page's fields, the others' come with CompletaPaginas.
    for (const Pagina& p : kPaginas) {
        auto* pagina = new QWidget;
        if (&p == kPaginas) (this->*p.construye)(pagina);
        SSTab1->addTab(pagina, QString::fromUtf8(p.titulo));
        pagina->setAccessibleName(QString::fromUtf8(p.titulo).remove(QLatin1Char('&')));
    }
    qobject_cast<QVBoxLayout*>(layout())->addWidget(SSTab1, 1);
    // Ctrl+Tab and Ctrl+Shift+Tab turn the pages from anywhere on the form, the header included.
    for (const auto& [tecla, paso] : {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                                      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
                                      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1}}) {
        auto* atajo = new QShortcut(tecla, this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        const int p = paso;
        connect(atajo, &QShortcut::activated, this,
                [this, p] { SSTab1->setCurrentIndex((SSTab1->currentIndex() + p + SSTab1->count()) % SSTab1->count()); });
    }
    // Turning a page from the keyboard (Alt + its letter) or with the mouse takes the focus to the
    // page's first field, so the capture goes on without walking back through the header. A page
    // turned by a rule leaves the focus in the field where the user put it (one clicked in the
    // header), and moves it only when it went elsewhere (Tab off the page now hidden).
    connect(SSTab1, &QTabWidget::currentChanged, this, [this](int indice) {
        const bool porRegla = paginaPorRegla_;
        // Once the focus change under way (if any) has finished.
        Difiere(estado_, this, [this, indice, porRegla] {
            QWidget* pagina = SSTab1->widget(indice);
            QWidget* foco = QApplication::focusWidget();
            if (!pagina || SSTab1->currentIndex() != indice || pagina->isAncestorOf(foco)) return;
            if (porRegla && foco && foco->isVisible() && isAncestorOf(foco) && GuardiaFoco::CampoDe(foco)) return;
            for (QWidget* control : controles_)
                if (qobject_cast<ControlCampo*>(control) && pagina->isAncestorOf(control) && control->isEnabled()) {
                    control->setFocus(Qt::TabFocusReason);
                    return;
                }
        });
    });
}

void Captura::PasaPagina(int indice) {
    paginaPorRegla_ = true;
    SSTab1->setCurrentIndex(indice);
    paginaPorRegla_ = false;
}

void Captura::CompletaPaginas() {
    if (completa_) return;
    const size_t desde = controles_.size();
    int indice = 0;
    for (const Pagina& p : kPaginas) {
        QWidget* pagina = SSTab1->widget(indice++);
        if (&p == kPaginas) continue;  // built with the form
        (this->*p.construye)(pagina);
        MarcaFocoDeBotones(pagina);
    }
    // Pickers that lie on the form itself, shown only while something is being picked.
    LstPais = Nuevo<ControlLst>("LstPais");
    LstUnidad = Nuevo<ControlLst>("LstUnidad");
    cmbUnidadMedida = Nuevo<ControlCmb>("cmbUnidadMedida");
    for (QWidget* oculto : std::initializer_list<QWidget*>{LstPais, LstUnidad, cmbUnidadMedida}) oculto->hide();
    completa_ = true;

    const QString fox = estado_.sConexion;
    Abre(estado_.sRutaApp, {{&dtsPexPais, fox, QStringLiteral("lorumpai")},
                            {&dtsPais, fox, QStringLiteral("lorumpai")},
                            {&dtsUM, QStringLiteral("dBASE III;"), QStringLiteral("CATUM")},
                            {&dtsCatFrac, fox, QStringLiteral("catfrac")},
                            {&dtsFracciones, fox, QStringLiteral("Select * from catfrac")}});
    AjustaCampos(desde);
    ConectaReglas();
    DBGPais->Liga(&dtsPexPais);
    DBGridHeading();
    DBGPais->horizontalHeader()->setHighlightSections(false);
    DBGPais->setAlternatingRowColors(true);
    PreparaRejillas();
    PreparaCampos(estado_, {controles_.begin() + std::ptrdiff_t(desde), controles_.end()});
    ConectaBorrador(desde);
    AsignaResto();
}

void Captura::PaginaGenerales(QWidget* pagina) {
    TxtCalle = Nuevo<ControldfTxt>("TxtCalle");
    TxtCP = Nuevo<ControldfTxt>("TxtCP");
    TxtColonia = Nuevo<ControldfTxt>("TxtColonia");
    TxtDelMun = Nuevo<ControldfTxt>("TxtDelMun");
    CmbEstado = Nuevo<ControlCmb>("CmbEstado");
    TxtTelefono = Nuevo<ControldfTxt>("TxtTelefono");
    TxtFax = Nuevo<ControldfTxt>("TxtFax");
    auto* forma = new QFormLayout(pagina);
    forma->addRow(etiqueta(QStringLiteral("Calle y N°"), TxtCalle), TxtCalle);
    forma->addRow(etiqueta(QStringLiteral("CP"), TxtCP), TxtCP);
    forma->addRow(etiqueta(QStringLiteral("Colonia"), TxtColonia), TxtColonia);
    forma->addRow(etiqueta(QStringLiteral("Del/Mun"), TxtDelMun), TxtDelMun);
    forma->addRow(etiqueta(QStringLiteral("Estado"), CmbEstado), CmbEstado);
    forma->addRow(etiqueta(QStringLiteral("Teléfono"), TxtTelefono), TxtTelefono);
    forma->addRow(etiqueta(QStringLiteral("Fax"), TxtFax), TxtFax);
}

void Captura::PaginaRepresentante(QWidget* pagina) {
    auto* marco = new QGroupBox(QStringLiteral("Autorización para suscribir la solicitud (Representante Legal)"));
    TxtAcredita = Nuevo<ControldfTxt>("TxtAcredita");
    TxtRep_Nom = Nuevo<ControldfTxt>("TxtRep_Nom");
    TxtRep_AP = Nuevo<ControldfTxt>("TxtRep_AP");
    TxtRep_AM = Nuevo<ControldfTxt>("TxtRep_AM");
    TxtRep_Cargo = Nuevo<ControldfTxt>("TxtRep_Cargo");
    TxtRep_Tel = Nuevo<ControldfTxt>("TxtRep_Tel");
    auto* forma = new QFormLayout(marco);
    forma->addRow(etiqueta(QStringLiteral("No de Acreditamiento"), TxtAcredita), TxtAcredita);
    forma->addRow(etiqueta(QStringLiteral("Nombre"), TxtRep_Nom), TxtRep_Nom);
    forma->addRow(etiqueta(QStringLiteral("Apellido Pat"), TxtRep_AP), TxtRep_AP);
    forma->addRow(etiqueta(QStringLiteral("Apellido Mat"), TxtRep_AM), TxtRep_AM);
    forma->addRow(etiqueta(QStringLiteral("Cargo o Puesto"), TxtRep_Cargo), TxtRep_Cargo);
    forma->addRow(etiqueta(QStringLiteral("Teléfono"), TxtRep_Tel), TxtRep_Tel);
    auto* capa = new QVBoxLayout(pagina);
    capa->addWidget(marco);
    capa->addStretch();
}

void Captura::PaginaMercancia(QWidget* pagina) {
    dbProducto = Nuevo<RejillaLigada>("dbProducto");
    dbProducto->setAccessibleName(QStringLiteral("Partidas de mercancía"));
    lstUM = Nuevo<QListWidget>("lstUM");
    lstUM->hide();
    cmbUM = Nuevo<ControlCmb>("cmbUM");
    Text1 = CajaSimple("Text1", QStringLiteral("Cantidad"));
    Text2 = CajaSimple("Text2", QStringLiteral("Valor en Dólares"));
    TxtTotalDlls = CajaSimple("TxtTotalDlls", QStringLiteral("Total en dólares"));
    TxtTotalDlls->hide();
    TxtRecif = Nuevo<ControldfTxt>("TxtRecif");

    NavegadorMercancia = new BarraNavegacion(dbProducto, QStringLiteral("partida"), pagina);
    NavegadorMercancia->setObjectName(QStringLiteral("NavegadorMercancia"));
    auto* capa = new QVBoxLayout(pagina);
    capa->addWidget(dbProducto, 1);
    capa->addWidget(NavegadorMercancia);
    capa->addWidget(new QLabel(QStringLiteral("<--  --> Desplazarse entre las columnas (Flecha arriba-Flecha abajo)")));
    auto* rejilla = new QGridLayout;
    rejilla->addWidget(etiqueta(QStringLiteral("Unidad de Medida"), cmbUM), 0, 0);
    rejilla->addWidget(cmbUM, 0, 1);
    rejilla->addWidget(etiqueta(QStringLiteral("&Cantidad"), Text1), 0, 2);
    rejilla->addWidget(Text1, 0, 3);
    rejilla->addWidget(etiqueta(QStringLiteral("RECIF"), TxtRecif), 1, 0);
    rejilla->addWidget(TxtRecif, 1, 1);
    rejilla->addWidget(etiqueta(QStringLiteral("Valor en Dólares"), Text2), 1, 2);
    rejilla->addWidget(Text2, 1, 3);
    rejilla->addWidget(new QLabel(QStringLiteral("Observaciones:")), 2, 0);
    capa->addLayout(rejilla);
}

void Captura::PaginaDescripcion(QWidget* pagina) {
    TxtMlDMercancias = Nuevo<ControlTxtMl>("TxtMlDMercancias");
    auto* capa = new QVBoxLayout(pagina);
    capa->addWidget(etiqueta(QStringLiteral("Descripción de la Mercancía"), TxtMlDMercancias));
    capa->addWidget(TxtMlDMercancias, 1);
}

void Captura::PaginaPais(QWidget* pagina) {
    DBGPais = Nuevo<RejillaLigada>("DBGPais");
    DBGPais->setAccessibleName(QStringLiteral("Lista de Paises"));
    Command1 = Nuevo<QPushButton>("Command1");
    Command1->setText(QStringLiteral("Todos los paises"));
    auto* capa = new QVBoxLayout(pagina);
    capa->addWidget(new QLabel(QStringLiteral("Lista de Paises")));
    capa->addWidget(DBGPais, 1);
    auto* fila = new QHBoxLayout;
    fila->addStretch();
    fila->addWidget(Command1);
    capa->addLayout(fila);
}

void Captura::PaginaAnexos1(QWidget* pagina) {
    TxtMlActividad = Nuevo<ControlTxtMl>("TxtMlActividad");
    TxtMlUso = Nuevo<ControlTxtMl>("TxtMlUso");
    TxtMlUso->setProperty("leyenda", QStringLiteral("Uso específico de la mercancía"));  // its field name is internal
    auto* capa = new QVBoxLayout(pagina);
    capa->addWidget(etiqueta(QStringLiteral("Actividad o giro principal"), TxtMlActividad));
    capa->addWidget(TxtMlActividad, 1);
    capa->addWidget(etiqueta(QStringLiteral("Uso específico de la mercancía"), TxtMlUso));
    capa->addWidget(TxtMlUso, 1);
}

void Captura::PaginaAnexo2(QWidget* pagina) {
    auto* marco = new QGroupBox(QStringLiteral("Justificación de la importación o exportación y el beneficio que se obtiene"));
    TxtMlJust = Nuevo<ControlTxtMl>("TxtMlJust");
    auto* interior = new QVBoxLayout(marco);
    interior->addWidget(TxtMlJust);
    auto* capa = new QVBoxLayout(pagina);
    capa->addWidget(marco, 1);
}

void Captura::PaginaAnexo3(QWidget* pagina) {
    ChkCat = Nuevo<ControlChk>("ChkCat");
    ChkFot = Nuevo<ControlChk>("ChkFot");
    ChkPla = Nuevo<ControlChk>("ChkPla");
    ChkOtr = Nuevo<ControlChk>("ChkOtr");
    TxtEspecifica = Nuevo<ControldfTxt>("TxtEspecifica");
    auto* marco = new QGroupBox(QStringLiteral("Anexos para identificar la mercancía"));
    ChkNin = Nuevo<ControlChk>("ChkNin");
    auto* enMarco = new QVBoxLayout(marco);
    enMarco->addWidget(ChkNin);
    auto* capa = new QVBoxLayout(pagina);
    for (QWidget* w : std::initializer_list<QWidget*>{ChkCat, ChkFot, ChkPla, ChkOtr}) capa->addWidget(w);
    auto* fila = new QHBoxLayout;
    fila->addWidget(etiqueta(QStringLiteral("Especifica"), TxtEspecifica));
    fila->addWidget(TxtEspecifica, 1);
    capa->addLayout(fila);
    capa->addWidget(marco);
    capa->addStretch();
}

void Captura::AbreOrigenes() {
    const QString fox = estado_.sConexion;
    Abre(estado_.sRutaApp, {{&dtsPrincipal, fox, QStringLiteral("empresas.dbf")},
                            {&dtsSolicitud, fox, QStringLiteral("lorums")}});
}

void Captura::ImprimirAcuse() { AbreImpresion(); }

void Captura::ImprimirPdf() {
    if (Form2* impresion = AbreImpresion()) impresion->GuardaPdf();
}

Form2* Captura::AbreImpresion() {
    if (nGuardados < 1) {
        Avisa(QStringLiteral("No se puede imprimir,hasta que se guarde la informacion."), QStringLiteral("AVISO"),
              int(ServicioMensajes::Icono::Exclamacion));
        return nullptr;
    }
    const TextosDeForma textos{cmbTramite->Text(), cmbRegimen->Text(), cmbDestino->Text(),
                               CmbEstado->Text(),  cmbUM->Text(),      TxtFraccion->Text()};
    auto* impresion = new Form2(estado_.sRutaApp, textos, *estado_.mensajes, this);
    impresion->setAttribute(Qt::WA_DeleteOnClose);
    impresion->open();  // modal over the form until "Cerrar"
    return impresion;
}

}  // namespace lorum
