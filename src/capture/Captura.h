#pragma once

#include "Archivos.h"
#include "OrigenDatos.h"

#include <QFont>
#include <QLineEdit>
#include <QWidget>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QEvent;
class QLabel;
class QListWidget;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace lorum {

class BarraNavegacion;
struct Borrador;
class ControlCampo;
class EscritorBorrador;
class Form2;
class ControlChk;
class ControlCmb;
class ControlLst;
class ControlTxtMl;
class ControldfTxt;
class RejillaLigada;
struct EstadoInicia;

// The capture form: the request's header fields above the tabbed area SSTab1 with its eight pages,
// and the status bar StatusBar1. Every field's settings are written in its answer to Creado. The
// operations the main window forwards live here. It is built in two steps: the header and the first
// page, which the window shows at once, then CompletaPaginas with the other pages.
class Captura : public QWidget {
    Q_OBJECT
public:
    explicit Captura(EstadoInicia& estado, QWidget* padre = nullptr);
    ~Captura() override;

    // The form's controls in form order, as the form-wide walks see them.
    const std::vector<QWidget*>& Controles() const { return controles_; }

    // Opens the applicant's and the request's data sources, which the header and the first page show,
    // on the data directory (throws ErrorTabla); the form's other sources open with CompletaPaginas.
    void AbreOrigenes();
    // The load step: caption, first page; the item table is only pointed at.
    void Form_Load();
    // Builds the pages not shown first and the pickers, writes their fields' settings, connects every
    // capture rule, binds the country grid and loads the new fields from the current records. After
    // it the form is whole; once only (throws ErrorTabla).
    void CompletaPaginas();
    // The RFC check of a load made before the window was shown, once it is.
    void VerificaRfcPendiente();
    bool RfcPendiente() const { return rfcPorVerificar_; }
    // Turns the pages as a rule does: the focus stays where the user put it.
    void PasaPagina(int indice);
    bool Completa() const { return completa_; }
    // Reads the item table and binds its grid. The items are the one large table and their page is
    // not the first one shown, so the start does this once the window is on the screen.
    void LigaMercancias();
    void DBGridHeading();
    // Centres one heading of the country grid for its alignment, width and the measuring font.
    void CenterHeadColumn(int columna);
    // Points the request's data sources at the data directory again and reloads the form.
    void EstableceLigas();

    // The form's stored fields: each control with its table and field, in the order the form loads
    // them. The load, the save, "Limpiar" and the draft all walk it (a control not built yet is null).
    enum class Tabla { Empresa, Solicitud };
    // What "Limpiar" does to a field: nothing, clears it on either answer to keeping the general
    // data, or only when they are not kept.
    enum class Limpieza { Nunca, Siempre, SinDatosGenerales };
    struct CampoDeForma {
        ControlCampo* control;
        Tabla tabla;
        const char16_t* campo;
        Limpieza limpia;
        bool carga = true;  // false: written by the save only (the request's copy of the RFC)
    };
    std::vector<CampoDeForma> CamposDeForma() const;

    // The draft of what is typed and not saved (lorum.borrador in the data folder): written on a
    // field's change at most every kEsperaBorrador ms, and at once when a field is left; removed
    // when the tables take the form's place (a save, "Limpiar", a recovery).
    static constexpr int kEsperaBorrador = 5000;
    Borrador BorradorActual() const;
    // Fills the fields from a draft as the load does (no field rule speaks) and turns to its page;
    // false when it names a field the form does not have (nothing is changed then).
    bool AplicaBorrador(const Borrador& borrador);
    // At start-up, with the window shown: a sound draft that differs from the form is offered back;
    // one that is not sound is put aside and said. Changes count as typing from then on.
    void OfreceBorrador();
    void EscribeBorrador();  // now, when anything changed since the last one
    void QuitaBorrador();
    EscritorBorrador* Escritor() const { return escritor_.get(); }

    // Operations of the form. The save says whether the tables now hold the form.
    bool GuardaInformacion();
    void LimpiaInformacion();
    void ImprimirAcuse();
    // The print window, and at once its "Guardar PDF...".
    void ImprimirPdf();
    void GeneraDisco();
    void RecuperaDisco();
    void RecuperaMercancias();
    // The four tables of a folder of saved requests replace the working ones, as a recovery does.
    bool AbreSolicitud(const QString& carpeta);
    // Whether the tables hold a saved request; when not, the user is told, as the delivery does.
    bool SolicitudGuardada();
    // Whether the fields were changed since the tables were last loaded or saved.
    bool HayCambiosSinGuardar() const { return cambiosSinGuardar_; }
    void ImportaInfo();
    // The same import from a workbook the user picks with EligeLibro.
    void ImportaOtroLibro();
    // Loads the fields from the current records (before CompletaPaginas, those built so far).
    void AsignaCampo();

    // Merchandise items and countries.
    void FormateaNumero(QLineEdit* QCTexto, int QLong);
    // Places a pop-up list under the current cell of a grid's column and shows it (the unit list is
    // filled first); a failure leaves it as it was.
    void ColocaListaGrid(RejillaLigada* rejilla, int columna, QWidget* lista);
    void LlenaListas();
    // Whether any record has the field equal to the value, exactly; false on any engine failure.
    static bool ContieneValor(const Cursor& registros, const QString& campo, const QString& valor);
    void Command1_Click();

    // The saving notice and the bringing forward of the form, given by the start-up module.
    std::function<void()> MuestraForm1;
    std::function<void()> MuestraCaptura;
    // The copy a recovery replaces each table with (tests make it fail).
    std::function<ResultadoCopia(const QString&, const QString&)> CopiaDeRecuperacion = CopiaTabla;
    // When the delivery drive's folder is missing: the medium the user chooses instead (remembered
    // by whoever chooses), nothing when cancelled. Unset, the operation goes on as without a drive.
    std::function<std::optional<QString>(const QString& aviso)> EligeUnidad;
    // The file chooser of "Importa de otro libro...", opened in the given folder; empty when cancelled
    // (tests give their own; unset, the desktop's chooser).
    std::function<QString(const QString& carpeta)> EligeLibro;

    // Header.
    ControldfTxt* dfRFC = nullptr;
    ControldfTxt* CtrdfTxtRSPat = nullptr;
    ControldfTxt* CtrdfTxtMat = nullptr;
    ControldfTxt* CtrdfTxtNom = nullptr;
    ControlCmb* cmbTramite = nullptr;
    ControlCmb* cmbRegimen = nullptr;
    ControlCmb* cmbDestino = nullptr;
    ControldfTxt* TxtFraccion = nullptr;
    ControlChk* ChkUsado = nullptr;
    QTabWidget* SSTab1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    // Generales.
    ControldfTxt* TxtCalle = nullptr;
    ControldfTxt* TxtCP = nullptr;
    ControldfTxt* TxtColonia = nullptr;
    ControldfTxt* TxtDelMun = nullptr;
    ControlCmb* CmbEstado = nullptr;
    ControldfTxt* TxtTelefono = nullptr;
    ControldfTxt* TxtFax = nullptr;
    // Representante.
    ControldfTxt* TxtAcredita = nullptr;
    ControldfTxt* TxtRep_Nom = nullptr;
    ControldfTxt* TxtRep_AP = nullptr;
    ControldfTxt* TxtRep_AM = nullptr;
    ControldfTxt* TxtRep_Cargo = nullptr;
    ControldfTxt* TxtRep_Tel = nullptr;
    // Mercancía.
    RejillaLigada* dbProducto = nullptr;
    QListWidget* lstUM = nullptr;
    ControlCmb* cmbUM = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* TxtTotalDlls = nullptr;
    ControldfTxt* TxtRecif = nullptr;
    BarraNavegacion* NavegadorMercancia = nullptr;  // the item navigator: "Partida: 3 de 10"
    // Desc Mercancía, Anexos1, Anexo2.
    ControlTxtMl* TxtMlDMercancias = nullptr;
    ControlTxtMl* TxtMlActividad = nullptr;
    ControlTxtMl* TxtMlUso = nullptr;
    ControlTxtMl* TxtMlJust = nullptr;
    // País.
    RejillaLigada* DBGPais = nullptr;
    QPushButton* Command1 = nullptr;
    // Anexo 3.
    ControlChk* ChkCat = nullptr;
    ControlChk* ChkFot = nullptr;
    ControlChk* ChkPla = nullptr;
    ControlChk* ChkOtr = nullptr;
    ControldfTxt* TxtEspecifica = nullptr;
    ControlChk* ChkNin = nullptr;
    // Pickers outside the pages.
    ControlLst* LstPais = nullptr;
    ControlLst* LstUnidad = nullptr;
    ControlCmb* cmbUnidadMedida = nullptr;

    // Data sources.
    OrigenDatos dtsPrincipal, dtsSolicitud, dtsMercancia, dtsPexPais, dtsPais, dtsUM, dtsCatFrac, dtsFracciones,
        dtsAux, dtsAux1, dtsMercanciaAx;

    // Saves since start-up (printing needs one) and new requests started (a save then appends).
    int nGuardados = 0;
    int nLimpiezas = 0;
    qint16 nMaxPaises = 0;
    std::optional<int> nPartidas;  // the item counter; empty until the navigator first needs it

    // The last key and text chosen in any picker of the form.
    qint16 nUltimaLlave = 0;
    QString sUltimoTexto;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void Importa(const QString& archivo);
    Form2* AbreImpresion();  // refused (said) before the first save
    void ConstruyeEncabezado();
    void PreparaRejillas();
    void ConectaRejillas();
    void VerificaCeldaPartida(int columna);
    void MuestraUnidades(bool conFoco);
    void BuscaUnidad(const QString& texto);
    void TomaUnidad();
    void OcultaUnidades();
    void PrecioDePartida(int fila);
    void TotalesDePartidas();
    void NavegaPartidas();
    void CuentaPartidas(int accion);
    void MuestraPaises();
    void TomaPais();
    void OcultaPaises();
    void LimitePaises();
    void UltimoPais();
    // Puts a checked copy of a table file over a working table; on failure tells the user (`que` says
    // what was being done) and the table stays as it was.
    bool ReemplazaTabla(const QString& fuente, const QString& tabla, const QString& que);
    void ConstruyePaginas();
    // The settings of the fields built from controles_[desde] on.
    void AjustaCampos(size_t desde);
    void ConectaReglas();
    void AsignaEncabezado();  // the header and the first page
    void AsignaResto();
    // Loads the stored fields built with the form (`delEncabezado`) or those built after it.
    void CargaCampos(bool delEncabezado);
    void VerificaRfcAlSalir(bool* cancelar);
    bool BuscaRfcEspecial();  // true for an RFC of CATRFCES (said to the user)
    // The check digit's warning when the RFC field is left: status line, colour, description.
    void RevisaDigitoRfc();
    void PonAvisoRfc(bool aviso);
    bool avisoRfc_ = false;
    QString descripcionRfc_;
    void AplicaOtros();
    // The templates copied over their tables and the current request record deleted (`borraSolicitud`),
    // as one step: all of it or, with a message, none.
    bool VaciaTablas(const std::vector<std::pair<QString, QString>>& plantillas, bool borraSolicitud);
    // Clears the fields "Limpiar" clears; with `todo`, the general data too.
    void LimpiaCamposDeSolicitud(bool todo = false);
    // The field changes a load makes are no typing: no draft is due for them.
    struct Cargando {
        explicit Cargando(Captura& c) : c_(c) { ++c_.cargando_; }
        ~Cargando() { --c_.cargando_; }
        Captura& c_;
    };
    int cargando_ = 0;
    bool borradorSucio_ = false;
    bool cambiosSinGuardar_ = false;
    bool borradorActivo_ = false;  // once the start-up has offered the last draft
    bool falloBorradorDicho_ = false;
    QTimer esperaBorrador_;
    std::unique_ptr<EscritorBorrador> escritor_;
    EscritorBorrador& escritor();  // made on first use
    void AlCambiarCampo();
    void AplicaTipoPersona(const QString& rfc);
    void EnfocaFaltante();  // the focus to the first missing field, on its page
    // Replaces `tablas` with those of `carpeta` (empty: the delivery drive's), all checked first.
    bool Recupera(const QString& carpeta, const QStringList& tablas, const QString& leyenda, const QString& operacion);
    // The delivery drive's folder is there, or the user chose another (EligeUnidad).
    bool BuscaUnidad();
    void Avisa(const QString& texto, const QString& titulo, int icono) const;
    void AjustaCatalogo(ControlCmb* cmb, const char* fuente, const char* campo, const char* lista);
    struct Pagina {
        void (Captura::*construye)(QWidget* pagina);
        const char* titulo;
    };
    static const Pagina kPaginas[8];
    // Each page's fields, built into its page.
    void PaginaGenerales(QWidget* pagina);
    void PaginaRepresentante(QWidget* pagina);
    void PaginaMercancia(QWidget* pagina);
    void PaginaDescripcion(QWidget* pagina);
    void PaginaPais(QWidget* pagina);
    void PaginaAnexos1(QWidget* pagina);
    void PaginaAnexo2(QWidget* pagina);
    void PaginaAnexo3(QWidget* pagina);
    template <typename T>
    T* Nuevo(const char* nombre);
    QLineEdit* CajaSimple(const char* nombre, const QString& leyenda);  // a plain box, heard by its caption

    EstadoInicia& estado_;
    std::vector<QWidget*> controles_;
    bool completa_ = false;
    bool paginaPorRegla_ = false;  // the page is being turned by a rule, not by the user
    bool rfcPorVerificar_ = false;  // loaded before the window was shown
    size_t controlesEncabezado_ = 0;  // the controls built with the form, before CompletaPaginas
    void ConectaBorrador(size_t desde);  // the draft follows the stored fields from controles_[desde] on
    QFont fuenteMedida_;  // the form's font for measuring headings
};

}  // namespace lorum
