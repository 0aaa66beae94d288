#include "ArranquePrueba.h"
#include "Auxiliares.h"
#include "ControlChk.h"
#include "ControlesCatalogo.h"
#include "ControlesTexto.h"
#include "EstadoInicia.h"
#include "Form2.h"
#include "OrigenDatos.h"
#include "RejillaLigada.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTextEdit>
#include <functional>

using namespace lorum;
using namespace lorum::prueba;

namespace {

using R = ServicioMensajes::Respuesta;
const QString kFox = QStringLiteral("FoxPro 2.5;");

class Guardado : public Arranque {
protected:
    void SetUp() override {
        Arranque::SetUp();
        ASSERT_TRUE(Arranca());
        mensajes.mostrados.clear();
    }
    void LlenaSolicitud(const QString& rfc = QStringLiteral("PEGJ800101AB1")) { prueba::LlenaSolicitud(Forma(), rfc); }
    QByteArray Bytes(const char* archivo) { return LeeBytes(dir.filePath(QLatin1String(archivo))); }
    void Guarda(const char* mensajeEsperado = "Se ha guardado la información correctamente") {
        mensajes.Responde(R::Aceptar);
        Forma().GuardaInformacion();
        ASSERT_FALSE(mensajes.mostrados.empty());
        EXPECT_EQ(mensajes.mostrados.back().texto, QString::fromUtf8(mensajeEsperado));
        EXPECT_FALSE(mensajes.mostrados.back().ocupado) << "the busy pointer is gone before the message";
    }
};

}  // namespace

TEST_F(Guardado, IdaYVueltaCampoPorCampo) {
    LlenaSolicitud();
    Guarda();
    EXPECT_EQ(Forma().nGuardados, 1);

    Cursor e = AbreCursor(dir.path(), kFox, "empresas");
    ASSERT_EQ(e.RecordCount(), 1);
    const struct {
        const char16_t* campo;
        QVariant valor;
    } empresa[] = {
        {u"RFC", "PEGJ800101AB1"}, {u"RSAPELPAT", "PEÑA"}, {u"APELMAT", "GÓMEZ"}, {u"NOMBRE", "JOSÉ"},
        {u"DIRECCION1", "REFORMA 100"}, {u"CODIGO_POS", "06600"}, {u"ESTADO", 9.0}, {u"COLONIA", "JUÁREZ"},
        {u"DELMUN", "CUAUHTÉMOC"}, {u"TELEFONO", "5512345678"}, {u"FAX", "5512.3"}, {u"ACREDITA", "AC-1"},
        {u"REP_LEGAL", "ANA"}, {u"REP_LEGALP", "LÓPEZ"}, {u"REP_LEGALM", "RUIZ"}, {u"CARGO", "DIRECTORA"},
        {u"TELREP", "5587654321"}, {u"DMERCANCI", "CABALLOS\r\nDE RAZA"},
    };
    for (const auto& c : empresa) EXPECT_EQ(e.Valor(QStringView(c.campo)).toString(), c.valor.toString()) << QString::fromUtf16(c.campo).toStdString();
    Cursor s = AbreCursor(dir.path(), kFox, "lorums");
    ASSERT_EQ(s.RecordCount(), 1);
    const struct {
        const char16_t* campo;
        QVariant valor;
    } solicitud[] = {
        {u"RFC", "PEGJ800101AB1"}, {u"IDTRA", 1.0}, {u"IDTIPIMPEX", 1.0}, {u"IDDESTINOP", 1.0}, {u"USADO", "S"},
        {u"FRACCION", "01011001"}, {u"IDUM", 6.0}, {u"RECIF", "123456"}, {u"NINGUNO", "N"}, {u"TEXTOGIRO", "GANADERÍA"},
        {u"USOMERC", "REPRODUCCIÓN"}, {u"JUST", "MEJORA GENÉTICA"}, {u"CAT", "S"}, {u"FOTO", "N"}, {u"PLANO", "N"},
        {u"OTRO", "S"}, {u"ESPECIFICA", "FACTURAS"}, {u"CANTIDAD", 12.5}, {u"VDOLARES", 1234567.1234567},
    };
    for (const auto& c : solicitud) EXPECT_EQ(s.Valor(QStringView(c.campo)).toString(), c.valor.toString()) << QString::fromUtf16(c.campo).toStdString();

    // The form was cleared and loaded again from the stored records.
    EXPECT_EQ(Forma().CtrdfTxtRSPat->Text(), QStringLiteral("PEÑA"));

    // Quit and start again: the request comes back on screen.
    inicia.reset();
    ASSERT_TRUE(Arranca());
    Captura& f = Forma();
    EXPECT_EQ(f.dfRFC->Text(), QStringLiteral("PEGJ800101AB1"));
    EXPECT_EQ(f.CtrdfTxtNom->Text(), QStringLiteral("JOSÉ"));
    EXPECT_EQ(f.CmbEstado->Text(), QStringLiteral("CIUDAD DE MÉXICO"));
    EXPECT_EQ(f.cmbUM->Text(), QStringLiteral("PIEZA"));
    EXPECT_EQ(f.Text2->text(), QStringLiteral("1234567.1234567"));
    EXPECT_EQ(f.TxtMlDMercancias->Text(), QStringLiteral("CABALLOS\r\nDE RAZA"));
    EXPECT_EQ(f.ChkOtr->ValorChk().toString(), QStringLiteral("S"));
    EXPECT_TRUE(f.TxtEspecifica->isEnabled()) << "Otros marked on loading enables Especifica";
    EXPECT_EQ(f.TxtEspecifica->Text(), QStringLiteral("FACTURAS"));
    EXPECT_EQ(f.ChkFot->ValorChk().toString(), QStringLiteral("N"));
    EXPECT_EQ(f.nGuardados, 0);
}

TEST_F(Guardado, DosGuardadosSobrescribenLosMismosRegistros) {
    // Nothing prints, nor goes to a PDF, before a save in this run.
    mensajes.Responde(R::Aceptar);
    mensajes.Responde(R::Aceptar);
    Forma().ImprimirAcuse();
    Forma().ImprimirPdf();
    ASSERT_EQ(mensajes.mostrados.size(), 2u);
    for (const auto& m : mensajes.mostrados) {
        EXPECT_EQ(m.texto, QStringLiteral("No se puede imprimir,hasta que se guarde la informacion."));
        EXPECT_EQ(m.titulo, QStringLiteral("AVISO"));
    }
    EXPECT_EQ(Forma().findChild<Form2*>(), nullptr);
    LlenaSolicitud();
    Guarda();
    Forma().TxtCalle->setDatoTxt(QStringLiteral("INSURGENTES 5"));
    Forma().Text1->clear();
    Guarda();
    EXPECT_EQ(Forma().nGuardados, 2);
    Cursor e = AbreCursor(dir.path(), kFox, "empresas");
    EXPECT_EQ(e.RecordCount(), 1);
    EXPECT_EQ(e.Valor(u"DIRECCION1").toString(), QStringLiteral("INSURGENTES 5"));
    Cursor s = AbreCursor(dir.path(), kFox, "lorums");
    EXPECT_EQ(s.RecordCount(), 1);
    EXPECT_FALSE(s.Valor(u"CANTIDAD").isValid()) << "an empty total box stores no value";
    EXPECT_EQ(s.Valor(u"VDOLARES").toDouble(), 1234567.1234567);

    // Once saved, the print window shows the request with the pickers' texts.
    Forma().ImprimirAcuse();
    Form2* impresion = Forma().findChild<Form2*>();
    ASSERT_NE(impresion, nullptr);
    EXPECT_TRUE(impresion->isVisible());
    impresion->VistaPrevia();
    EXPECT_TRUE(impresion->rtfText->toPlainText().contains(QStringLiteral("Tramite:   ") + Forma().cmbTramite->Text()));
    EXPECT_TRUE(impresion->rtfText->toPlainText().contains(QStringLiteral("CALLE Y NUMERO:     INSURGENTES 5")));
    impresion->close();
}

TEST_F(Guardado, UnGuardadoRechazadoNoEscribeNada) {
    const QByteArray e = Bytes("empresas.dbf");
    const QByteArray s = Bytes("lorums.dbf");
    mensajes.Responde(R::Aceptar);
    Forma().GuardaInformacion();
    ASSERT_EQ(mensajes.mostrados.size(), 1u);
    EXPECT_TRUE(mensajes.mostrados[0].texto.startsWith(QStringLiteral("La siguiente información es requerida: ")));
    EXPECT_FALSE(inicia->estado().sFaltantes.isEmpty());
    EXPECT_EQ(Forma().nGuardados, 0);
    EXPECT_EQ(Bytes("empresas.dbf"), e);
    EXPECT_EQ(Bytes("lorums.dbf"), s);

    // A value that does not fit refuses the save before anything is written, naming the field and
    // what is wrong with it.
    const struct {
        std::function<void(Captura&)> pon;
        const char* dice;
    } casos[] = {
        {[](Captura& f) { f.TxtMlJust->setDatoTxt(QString(300, u'J')); }, "Justificación (admite 254 caracteres)"},
        {[](Captura& f) { f.TxtCalle->setDatoTxt(QStringLiteral("REFORMA 10 €")); }, "Calle (no admite el carácter «€»)"},
        {[](Captura& f) { f.Text1->setText(QStringLiteral("150000000")); },
         "Cantidad (el número más grande que admite es 99999999.9999999999)"},
    };
    for (const auto& k : casos) {
        LlenaSolicitud();
        k.pon(Forma());
        mensajes.Responde(R::Aceptar);
        Forma().GuardaInformacion();
        EXPECT_TRUE(mensajes.mostrados.back().texto.contains(QString::fromUtf8(k.dice))) << mensajes.mostrados.back().texto.toStdString();
        EXPECT_FALSE(inicia->estado().sFaltantes.isEmpty()) << "the exit dialogs must not take it for saved";
        EXPECT_EQ(Forma().nGuardados, 0);
        EXPECT_EQ(Bytes("empresas.dbf"), e);
        EXPECT_EQ(Bytes("lorums.dbf"), s);
    }
}

TEST_F(Guardado, LimpiarConservandoLosDatosGenerales) {
    LlenaSolicitud();
    Guarda();
    Cursor m = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.6;"), "mercanci");
    m.AddNew();
    m.SetValor(u"PARTIDA", 1);
    m.Update();

    mensajes.Responde(R::Si);
    Forma().LimpiaInformacion();
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("¿Desea conservar los datos generales?"));
    EXPECT_EQ(mensajes.mostrados.back().titulo, QStringLiteral("Confirmar"));
    Captura& f = Forma();
    EXPECT_EQ(f.nLimpiezas, 1);
    EXPECT_EQ(f.dfRFC->Text(), QStringLiteral("PEGJ800101AB1"));
    EXPECT_EQ(f.TxtRep_Cargo->Text(), QStringLiteral("DIRECTORA"));
    EXPECT_EQ(f.TxtFraccion->Text(), QString());
    EXPECT_EQ(f.cmbTramite->Text(), QString());
    EXPECT_EQ(f.Text1->text(), QStringLiteral("0"));
    EXPECT_EQ(f.TxtMlDMercancias->Text(), QString());
    EXPECT_EQ(AbreCursor(dir.path(), kFox, "empresas").RecordCount(), 1);
    EXPECT_EQ(AbreCursor(dir.path(), kFox, "lorums").RecordCount(), 0);
    EXPECT_EQ(Bytes("mercanci.dbf"), Bytes("Omercanci.dbf"));
    EXPECT_EQ(f.dbProducto->modelo()->NumRegistros(), 0);

    // After a new request, a save appends and the form keeps what it shows.
    LlenaSolicitud(QStringLiteral("ROCA900202XY9"));
    Guarda("Se ha guardado la información correctamente, debera importarlo a la unidad A:");
    EXPECT_EQ(AbreCursor(dir.path(), kFox, "empresas").RecordCount(), 2);
    EXPECT_EQ(AbreCursor(dir.path(), kFox, "lorums").RecordCount(), 1);
    EXPECT_EQ(f.dfRFC->Text(), QStringLiteral("ROCA900202XY9"));
    EXPECT_EQ(f.nGuardados, 2);
}

TEST_F(Guardado, LimpiarDesdeCeroDejaLasPlantillas) {
    LlenaSolicitud();
    Guarda();
    mensajes.Responde(R::No);
    Forma().LimpiaInformacion();
    for (const auto& [tabla, plantilla] : {std::pair{"empresas.dbf", "Oempresas.dbf"}, {"lorums.dbf", "Olorums.dbf"},
                                          {"mercanci.dbf", "Omercanci.dbf"}, {"lorumpai.dbf", "OLORUMPAI.dbf"}})
        EXPECT_EQ(Bytes(tabla), Bytes(plantilla)) << tabla;
    Captura& f = Forma();
    EXPECT_EQ(f.dfRFC->Text(), QString());
    EXPECT_EQ(f.TxtRep_Tel->Text(), QString());
    EXPECT_EQ(f.CmbEstado->Text(), QString());
    EXPECT_EQ(f.ChkOtr->ValorChk().toString(), QStringLiteral("N"));
    EXPECT_FALSE(f.TxtEspecifica->isEnabled());

    // "Limpiar" on an empty applicant table asks nothing and only reads the tables again.
    const int antes = int(mensajes.mostrados.size());
    f.LimpiaInformacion();
    EXPECT_EQ(int(mensajes.mostrados.size()), antes);
    EXPECT_EQ(f.nLimpiezas, 2);
}

TEST_F(Guardado, UnaPlantillaFaltanteODanadaNoReemplazaLaTabla) {
    LlenaSolicitud();
    Guarda();
    Cursor m = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.6;"), "mercanci");
    m.AddNew();
    m.SetValor(u"PARTIDA", 7);
    m.Update();
    const QByteArray buena = Bytes("Omercanci.dbf");
    const struct {
        const char* caso;
        std::function<void(const QString&)> dana;
    } casos[] = {
        {"falta", [](const QString& ruta) { QFile::remove(ruta); }},
        {"seis bytes", [](const QString& ruta) { EscribeBytes(ruta, QByteArray("\x03\x7E\x0C\x06\x00\x00", 6)); }},
        {"sin los campos", [](const QString& ruta) { TablaDbf::Crea(ruta, {CampoC("OTRO", 5)}); }},
    };
    for (const R respuesta : {R::Si, R::No}) {
        for (const auto& k : casos) {
            SCOPED_TRACE(k.caso);
            k.dana(dir.filePath("Omercanci.dbf"));
            const QByteArray mercanci = Bytes("mercanci.dbf"), lorums = Bytes("lorums.dbf"), empresas = Bytes("empresas.dbf");
            const QString rfc = Forma().dfRFC->Text(), justificacion = Forma().TxtMlJust->Text();
            const int limpiezas = Forma().nLimpiezas;
            mensajes.Responde(respuesta);
            mensajes.Responde(R::Aceptar);
            Forma().LimpiaInformacion();
            EXPECT_EQ(mensajes.mostrados[mensajes.mostrados.size() - 2].botones, ServicioMensajes::Botones::SiNoSinEscape);
            const QString dicho = mensajes.mostrados.back().texto;
            EXPECT_TRUE(dicho.contains(QStringLiteral("Omercanci.dbf")) && dicho.contains(QStringLiteral("quedaron como estaban")))
                << dicho.toStdString();
            EXPECT_EQ(Bytes("mercanci.dbf"), mercanci);
            EXPECT_EQ(Bytes("lorums.dbf"), lorums) << "all or nothing, the request record stays";
            EXPECT_EQ(Bytes("empresas.dbf"), empresas);
            // Neither the form nor the count of new requests moved: nothing was started.
            EXPECT_EQ(Forma().dfRFC->Text(), rfc);
            EXPECT_EQ(Forma().TxtMlJust->Text(), justificacion);
            EXPECT_EQ(Forma().nLimpiezas, limpiezas);
            EscribeBytes(dir.filePath("Omercanci.dbf"), buena);
        }
    }
    // A save then replaces the request on screen: no second applicant or request beside it.
    Guarda();
    EXPECT_EQ(AbreCursor(dir.path(), QStringLiteral("FoxPro 2.6;"), "empresas").RecordCount(), 1);
    EXPECT_EQ(AbreCursor(dir.path(), QStringLiteral("FoxPro 2.6;"), "lorums").RecordCount(), 1);
    // The next start-up opens every table.
    inicia.reset();
    ASSERT_TRUE(Arranca());
    EXPECT_EQ(Forma().dbProducto->modelo()->NumRegistros(), 1);
}

TEST_F(Guardado, NuevasSolicitudesSeguidasConYSinGuardar) {
    // "Limpiar" No, a request saved (appended): "Limpiar" then speaks of the request on screen, twice.
    mensajes.Responde(R::No);
    Forma().LimpiaInformacion();
    LlenaSolicitud();
    Guarda("Se ha guardado la información correctamente, debera importarlo a la unidad A:");
    for (int vez = 0; vez < 2; ++vez) {
        mensajes.Responde(R::Si);
        Forma().LimpiaInformacion();
        EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("¿Desea conservar los datos generales?")) << vez;
        EXPECT_EQ(AbreCursor(dir.path(), kFox, "lorums").RecordCount(), 0) << vez;
        EXPECT_EQ(Forma().TxtMlJust->Text(), QString()) << vez << ": the form was cleared";
    }
}

TEST_F(Guardado, SiLaSegundaEscrituraFallaNingunaTablaCambia) {
    LlenaSolicitud();
    Guarda();
    for (bool trasLimpiar : {false, true}) {
        if (trasLimpiar) {
            mensajes.Responde(R::Si);
            Forma().LimpiaInformacion();
            LlenaSolicitud();
        }
        Forma().TxtCalle->setDatoTxt(QStringLiteral("OTRA CALLE"));
        const QByteArray e = Bytes("empresas.dbf");
        const QByteArray s = Bytes("lorums.dbf");
        const int guardados = Forma().nGuardados;
        // The request table disappears behind the program's back: its write fails.
        ASSERT_TRUE(QFile::rename(dir.filePath("lorums.dbf"), dir.filePath("lorums.aparte")));
        mensajes.Responde(R::Aceptar);
        Ventana().Accion("mnuFuncGuardar")->trigger();
        EXPECT_TRUE(mensajes.mostrados.back().texto.contains(QStringLiteral("lorums.dbf"))) << mensajes.mostrados.back().texto.toStdString();
        ASSERT_TRUE(QFile::rename(dir.filePath("lorums.aparte"), dir.filePath("lorums.dbf")));
        EXPECT_EQ(Forma().nGuardados, guardados) << trasLimpiar;
        EXPECT_EQ(Bytes("lorums.dbf"), s) << trasLimpiar;
        Cursor vivo = AbreCursor(dir.path(), kFox, "empresas");
        // Undone: same live records with the same values (an undone append stays as a deleted record).
        QStringList calles;
        for (; !vivo.Eof(); vivo.MoveNext()) calles << vivo.Valor(u"DIRECCION1").toString();
        EXPECT_FALSE(calles.contains(QStringLiteral("OTRA CALLE"))) << trasLimpiar;
        if (!trasLimpiar) {
            EXPECT_EQ(Bytes("empresas.dbf").mid(32), e.mid(32)) << "byte for byte, but the header date";
        }
    }
}

TEST_F(Guardado, SalirConSiYDatosFaltantesNoSale) {
    bool termino = false;
    Ventana().Termina = [&] { termino = true; };
    mensajes.Responde(R::Si);
    mensajes.Responde(R::Aceptar);  // the list of what is missing
    mensajes.Responde(R::Aceptar);  // "No se pudo guardar, falta información."
    Ventana().mnuSisSalir_Click();
    ASSERT_EQ(mensajes.mostrados.size(), 3u);
    EXPECT_TRUE(mensajes.mostrados[1].texto.startsWith(QStringLiteral("La siguiente información es requerida: ")));
    EXPECT_EQ(mensajes.mostrados[2].texto, QStringLiteral("No se pudo guardar, falta información."));
    EXPECT_FALSE(termino);

    LlenaSolicitud();
    mensajes.Responde(R::Si);
    mensajes.Responde(R::Aceptar);  // saved
    Ventana().mnuSisSalir_Click();
    EXPECT_TRUE(termino);
    EXPECT_EQ(AbreCursor(dir.path(), kFox, "empresas").Valor(u"RFC").toString(), QStringLiteral("PEGJ800101AB1"));
}

TEST_F(Guardado, EstableceLigasRecargaDesdeLasTablas) {
    Cursor e = AbreCursor(dir.path(), kFox, "empresas");
    e.Edit();
    e.SetValor(u"RFC", QStringLiteral(" ABC010430XY1"));
    e.SetValor(u"RSAPELPAT", QStringLiteral("TALLERES UNIDOS SA"));
    e.Update();
    Forma().EstableceLigas();
    EXPECT_EQ(Forma().CtrdfTxtRSPat->Text(), QStringLiteral("TALLERES UNIDOS SA"));
    EXPECT_FALSE(Forma().CtrdfTxtNom->isEnabled()) << "a company's RFC, loaded, disables the given names";
    EXPECT_TRUE(Forma().CtrdfTxtNom->bAceptaNulos);
}
