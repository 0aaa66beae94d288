#pragma once

#include "OrigenDatos.h"

#include <QFont>
#include <QLineEdit>
#include <QWidget>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace lorum {

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
    // The load step: caption, country-grid headings, item table binding, first page.
    void Form_Load();
    void DBGridHeading();
    // Centres one heading of the country grid for its alignment, width and the measuring font.
    void CenterHeadColumn(int columna);
    // Points the request's data sources at the data directory again and reloads the form.
    void EstableceLigas();

    // Operations of the form. ImprimirAcuse, GeneraDisco, RecuperaDisco, RecuperaMercancias and
    // ImportaInfo do nothing.
    void GuardaInformacion();
    void LimpiaInformacion();
    void ImprimirAcuse();
    void GeneraDisco();
    void RecuperaDisco();
    void RecuperaMercancias();
    void ImportaInfo();
    void AsignaCampo();

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
        dtsAux, dtsAux1;

    // Saves since start-up (printing needs one) and new requests started (a save then appends).
    int nGuardados = 0;
    int nLimpiezas = 0;
    qint16 nMaxPaises = 0;

    // The last key and text chosen in any picker of the form.
    qint16 nUltimaLlave = 0;
    QString sUltimoTexto;

private:
    void ConstruyeEncabezado();
    void ConstruyePaginas();
    void AjustaCampos();
    void ConectaReglas();
    void VerificaRfcAlSalir(bool* cancelar);
    void BuscaRfcEspecial();
    void AplicaOtros();
    void CopiaPlantilla(const QString& plantilla, const QString& tabla);
    void LimpiaCamposDeSolicitud();
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
    QLineEdit* CajaSimple(const char* nombre);

    EstadoInicia& estado_;
    std::vector<QWidget*> controles_;
    QFont fuenteMedida_;  // the form's font for measuring headings
};

}  // namespace lorum
