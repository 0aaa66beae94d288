#pragma once

#include "Archivos.h"
#include "OrigenDatos.h"

#include <QFont>
#include <QLineEdit>
#include <QWidget>
#include <functional>
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
// operations the main window forwards live here.
class Captura : public QWidget {
    Q_OBJECT
public:
    explicit Captura(EstadoInicia& estado, QWidget* padre = nullptr);

    // The form's controls in form order, as the form-wide walks see them.
    const std::vector<QWidget*>& Controles() const { return controles_; }

    // Opens the data sources that come with the form, on the data directory (throws ErrorTabla).
    void AbreOrigenes();
    // The load step: caption, country-grid headings, first page; the item table is only pointed at.
    void Form_Load();
    // Reads the item table and binds its grid. The items are the one large table and their page is
    // not the first one shown, so the start does this once the window is on the screen.
    void LigaMercancias();
    void DBGridHeading();
    // Centres one heading of the country grid for its alignment, width and the measuring font.
    void CenterHeadColumn(int columna);
    // Points the request's data sources at the data directory again and reloads the form.
    void EstableceLigas();

    // Operations of the form.
    void GuardaInformacion();
    void LimpiaInformacion();
    void ImprimirAcuse();
    // The print window, and at once its "Guardar PDF...".
    void ImprimirPdf();
    void GeneraDisco();
    void RecuperaDisco();
    void RecuperaMercancias();
    void ImportaInfo();
    // The same import from a workbook the user picks with EligeLibro.
    void ImportaOtroLibro();
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
    // The file chooser of "Importa de otro libro...", opened in the given folder; empty when cancelled
    // (tests give their own; unset, the desktop's chooser).
    std::function<QString(const QString& carpeta)> EligeLibro;

    // Header.
    ControldfTxt* dfRFC;
    ControldfTxt* CtrdfTxtRSPat;
    ControldfTxt* CtrdfTxtMat;
    ControldfTxt* CtrdfTxtNom;
    ControlCmb* cmbTramite;
    ControlCmb* cmbRegimen;
    ControlCmb* cmbDestino;
    ControldfTxt* TxtFraccion;
    ControlChk* ChkUsado;
    QTabWidget* SSTab1;
    QStatusBar* StatusBar1;
    // Generales.
    ControldfTxt* TxtCalle;
    ControldfTxt* TxtCP;
    ControldfTxt* TxtColonia;
    ControldfTxt* TxtDelMun;
    ControlCmb* CmbEstado;
    ControldfTxt* TxtTelefono;
    ControldfTxt* TxtFax;
    // Representante.
    ControldfTxt* TxtAcredita;
    ControldfTxt* TxtRep_Nom;
    ControldfTxt* TxtRep_AP;
    ControldfTxt* TxtRep_AM;
    ControldfTxt* TxtRep_Cargo;
    ControldfTxt* TxtRep_Tel;
    // Mercancía.
    RejillaLigada* dbProducto;
    QListWidget* lstUM;
    ControlCmb* cmbUM;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* TxtTotalDlls;
    ControldfTxt* TxtRecif;
    BarraNavegacion* NavegadorMercancia;  // the item navigator: "Partida: 3 de 10"
    // Desc Mercancía, Anexos1, Anexo2.
    ControlTxtMl* TxtMlDMercancias;
    ControlTxtMl* TxtMlActividad;
    ControlTxtMl* TxtMlUso;
    ControlTxtMl* TxtMlJust;
    // País.
    RejillaLigada* DBGPais;
    QPushButton* Command1;
    // Anexo 3.
    ControlChk* ChkCat;
    ControlChk* ChkFot;
    ControlChk* ChkPla;
    ControlChk* ChkOtr;
    ControldfTxt* TxtEspecifica;
    ControlChk* ChkNin;
    // Pickers outside the pages.
    ControlLst* LstPais;
    ControlLst* LstUnidad;
    ControlCmb* cmbUnidadMedida;

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
    void AjustaCampos();
    void ConectaReglas();
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
    void LimpiaCamposDeSolicitud();
    void EnfocaFaltante();  // the focus to the first missing field, on its page
    void Recupera(const QStringList& tablas, const QString& leyenda, const QString& operacion);
    void Avisa(const QString& texto, const QString& titulo, int icono) const;
    void AjustaCatalogo(ControlCmb* cmb, const char* fuente, const char* campo, const char* lista);
    QWidget* PaginaGenerales();
    QWidget* PaginaRepresentante();
    QWidget* PaginaMercancia();
    QWidget* PaginaDescripcion();
    QWidget* PaginaPais();
    QWidget* PaginaAnexos1();
    QWidget* PaginaAnexo2();
    QWidget* PaginaAnexo3();
    template <typename T>
    T* Nuevo(const char* nombre);
    QLineEdit* CajaSimple(const char* nombre, const QString& leyenda);  // a plain box, heard by its caption

    EstadoInicia& estado_;
    std::vector<QWidget*> controles_;
    QFont fuenteMedida_;  // the form's font for measuring headings
};

}  // namespace lorum
