// The draft of the form: every kind of field through the file and back, when it is written, offered,
// kept and removed.
#include "ArranquePrueba.h"
#include "Auxiliares.h"
#include "Borrador.h"
#include "Durabilidad.h"
#include "TablasSolicitud.h"

#include <QDir>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTemporaryDir>
#include <functional>
#include <set>

using namespace lorum;
using namespace lorum::prueba;

namespace {

using R = ServicioMensajes::Respuesta;

class BorradorDeForma : public FormaLista {
protected:
    QString Archivo() const { return dir.filePath(Borrador::kArchivo); }
    void Espera() {
        if (Forma().Escritor()) Forma().Escritor()->Espera();
    }
    // What is typed now, on the disk.
    void Asienta() {
        Forma().EscribeBorrador();
        Espera();
    }
    std::map<QString, QByteArray> Tablas() {
        std::map<QString, QByteArray> t;
        for (const auto& d : tablas::TablasDeSolicitud()) t[d.archivo] = LeeBytes(dir.filePath(d.archivo));
        return t;
    }
    // A restart on the same folder; the draft's question answered with `r` when it comes.
    void Reinicia(std::optional<R> r) {
        inicia.reset();
        mensajes.mostrados.clear();
        if (EsperaAvisoRfc()) mensajes.Responde(R::Aceptar);
        if (r) mensajes.Responde(*r);
        inicia = std::make_unique<Inicia>(mensajes, sonido);
        ASSERT_TRUE(inicia->Main(dir.path()));
        SinVentanasDeUnidad();
        EXPECT_TRUE(mensajes.SinRespuestasPendientes());
    }
    bool Pregunto() const {
        for (const auto& m : mensajes.mostrados)
            if (m.texto.startsWith(QStringLiteral("Hay información capturada el "))) return true;
        return false;
    }
};

}  // namespace

TEST_F(BorradorDeForma, CadaClaseDeCampoVuelveExactaPorElArchivo) {
    Captura& f = Forma();
    LlenaSolicitud(f);
    // Long texts at their limits, accents and line ends; a check, a picker and a text left empty.
    f.TxtMlJust->setDatoTxt(QString(120, u'Ñ') + QStringLiteral("\r\n- 100%  ") + QString(124, u'É'));
    f.TxtMlUso->setDatoTxt(QStringLiteral("-"));
    f.TxtRep_AM->setDatoTxt(QString());
    f.ChkCat->setValor(QStringLiteral("N"));
    f.cmbUM->Limpia();
    f.PasaPagina(6);
    const Borrador b = f.BorradorActual();
    std::set<QString> nombres;
    for (const auto& [nombre, valor] : b.campos) EXPECT_TRUE(!nombre.isEmpty() && nombres.insert(nombre).second) << nombre.toStdString();
    ASSERT_TRUE(GuardaBorrador(dir.path(), b).ok);
    const auto leido = LeeBorrador(dir.path());
    ASSERT_TRUE(leido.has_value());

    for (QWidget* w : f.Controles())
        if (auto* c = qobject_cast<ControlCampo*>(w)) c->Limpia();
    f.PasaPagina(0);
    mensajes.mostrados.clear();
    ASSERT_TRUE(f.AplicaBorrador(*leido));
    EXPECT_EQ(f.BorradorActual().campos, b.campos);
    EXPECT_EQ(f.TxtMlJust->Text().size(), 254);
    EXPECT_EQ(f.cmbTramite->Text(), QStringLiteral("PERMISO PREVIO DE IMPORTACIÓN"));
    EXPECT_EQ(f.ChkUsado->ValorChk(), QStringLiteral("S"));
    EXPECT_EQ(f.SSTab1->currentIndex(), 6);
    EXPECT_TRUE(mensajes.mostrados.empty()) << "no field rule speaks while filling";

    // A draft naming a field the form does not have changes nothing.
    Borrador ajeno = b;
    ajeno.campos.emplace_back(QStringLiteral("Campo de otra versión"), QStringLiteral("X"));
    f.TxtCalle->setDatoTxt(QStringLiteral("OTRA"));
    EXPECT_FALSE(f.AplicaBorrador(ajeno));
    EXPECT_EQ(f.TxtCalle->Text(), QStringLiteral("OTRA"));
}

TEST_F(BorradorDeForma, SeEscribeAlDejarElCampoYSeOfreceAlArrancar) {
    Captura& f = Forma();
    // Typing alone waits; leaving the field writes at once.
    f.dfRFC->Interior()->setFocus();
    QApplication::processEvents();
    f.dfRFC->setDatoTxt(QString());
    QTest::keyClicks(f.dfRFC->Interior(), QStringLiteral("pegj800101ab1"));
    Espera();
    EXPECT_FALSE(QFile::exists(Archivo()));
    f.CtrdfTxtRSPat->Interior()->setFocus();
    QApplication::processEvents();
    Espera();
    ASSERT_TRUE(QFile::exists(Archivo()));
    f.CtrdfTxtRSPat->setDatoTxt(QStringLiteral("PÉREZ"));
    f.TxtMlJust->setDatoTxt(QStringLiteral("UNA\r\nDOS"));
    f.PasaPagina(4);
    const auto tablas = Tablas();
    const auto tecleado = f.BorradorActual().campos;

    // The window goes without a save: the last typing is kept; the next start offers it.
    Reinicia(R::Si);
    ASSERT_TRUE(Pregunto());
    const auto& pregunta = mensajes.mostrados.back();
    EXPECT_TRUE(pregunta.texto.endsWith(QStringLiteral("que no se guardó (RFC PEGJ800101AB1). ¿Desea recuperarla?")))
        << pregunta.texto.toStdString();
    EXPECT_EQ(pregunta.titulo, QStringLiteral("Confirmar"));
    EXPECT_EQ(pregunta.botones, ServicioMensajes::Botones::SiNoSinEscape);
    EXPECT_TRUE(pregunta.sobreVentana);
    EXPECT_EQ(Forma().BorradorActual().campos, tecleado);
    EXPECT_EQ(Forma().SSTab1->currentIndex(), 4);
    EXPECT_TRUE(Forma().StatusBar1->currentMessage().contains(QStringLiteral("no está guardada")));
    EXPECT_EQ(Tablas(), tablas) << "taking it back writes no table";
    Espera();
    EXPECT_TRUE(QFile::exists(Archivo()));

    // Declined: removed, and not asked again.
    Reinicia(R::No);
    EXPECT_TRUE(Pregunto());
    Espera();
    EXPECT_FALSE(QFile::exists(Archivo()));
    Reinicia(std::nullopt);
    EXPECT_FALSE(Pregunto());
}

TEST_F(BorradorDeForma, SeQuitaCuandoLasTablasTomanElLugarDeLaForma) {
    QTemporaryDir unidad;
    const struct {
        const char* que;
        std::function<void()> hace;
        bool queda;
    } casos[] = {
        {"a save", [this] {
             LlenaSolicitud(Forma());
             mensajes.Responde(R::Aceptar);
             EXPECT_TRUE(Forma().GuardaInformacion());
         }, false},
        {"a refused save", [this] {
             Forma().TxtCalle->setDatoTxt(QString());
             mensajes.Responde(R::Aceptar);
             EXPECT_FALSE(Forma().GuardaInformacion());
         }, true},
        {"Limpiar, keeping the general data", [this] {
             mensajes.Responde(R::Si);
             inicia->ventana()->Opera(QStringLiteral("LimpiaInformacion"));
         }, false},
        {"Limpiar, all of it", [this] {
             mensajes.Responde(R::No);
             inicia->ventana()->Opera(QStringLiteral("LimpiaInformacion"));
         }, false},
        {"a recovery", [this, &unidad] {
             for (const auto& d : tablas::TablasDeSolicitud())
                 ASSERT_TRUE(CopiaTabla(dir.filePath(d.archivo), QDir(unidad.path()).filePath(d.archivo)).ok);
             inicia->estado().sUnidadA = unidad.path();
             mensajes.Responde(R::Aceptar);
             Forma().RecuperaDisco();
             EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("Proceso terminado."));
         }, false},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.que);
        Forma().TxtMlJust->setDatoTxt(QStringLiteral("ESCRITO"));
        Asienta();
        ASSERT_TRUE(QFile::exists(Archivo()));
        caso.hace();
        Espera();
        EXPECT_EQ(QFile::exists(Archivo()), caso.queda);
        QFile::remove(Archivo());
    }
}

TEST_F(BorradorDeForma, UnoDanadoOAjenoSeApartaYUnoIgualALasTablasNoSeOfrece) {
    const struct {
        const char* que;
        std::function<QByteArray()> bytes;
    } danados[] = {
        {"cut", [this] { return Forma().BorradorActual().Texto().chopped(30); }},
        {"older version", [this] { return Forma().BorradorActual().Texto().replace("LORUM-BORRADOR 1", "LORUM-BORRADOR 0"); }},
        {"a field of no form", [] {
             Borrador b;
             b.hora = QDateTime::currentDateTime();
             b.campos = {{QStringLiteral("Campo ajeno"), QStringLiteral("X")}};
             return b.Texto();
         }},
    };
    for (const auto& d : danados) {
        SCOPED_TRACE(d.que);
        Asienta();  // nothing typed is left to write over it
        EscribeBytes(Archivo(), d.bytes());
        const QByteArray bytes = LeeBytes(Archivo());
        const QString calle = Forma().TxtCalle->Text();
        mensajes.Responde(R::Aceptar);
        Reinicia(std::nullopt);
        EXPECT_FALSE(Pregunto());
        ASSERT_FALSE(mensajes.mostrados.empty());
        EXPECT_TRUE(mensajes.mostrados.back().texto.contains(QStringLiteral("lorum.borrador.danado")));
        EXPECT_FALSE(QFile::exists(Archivo()));
        EXPECT_EQ(LeeBytes(Archivo() + QStringLiteral(".danado")), bytes);
        EXPECT_EQ(Forma().TxtCalle->Text(), calle);
    }
    // What the tables already hold is not asked about, and goes.
    ASSERT_TRUE(GuardaBorrador(dir.path(), Forma().BorradorActual()).ok);
    Reinicia(std::nullopt);
    EXPECT_FALSE(Pregunto());
    Espera();
    EXPECT_FALSE(QFile::exists(Archivo()));
}

TEST_F(BorradorDeForma, UnaEscrituraFallidaSeDiceUnaVezEnLaLineaDeEstado) {
    FijaFallas([](QStringView paso, const QString& ruta) { return paso == u"escribe-nuevo" && ruta.contains(u"lorum.borrador"); });
    for (int vez = 0; vez < 2; ++vez) {
        Forma().StatusBar1->clearMessage();
        Forma().TxtCalle->setDatoTxt(QStringLiteral("CALLE %1").arg(vez));
        Asienta();
        QApplication::processEvents();
        EXPECT_EQ(Forma().StatusBar1->currentMessage().startsWith(QStringLiteral("No se pudo guardar el borrador")), vez == 0)
            << Forma().StatusBar1->currentMessage().toStdString();
    }
    FijaFallas({});
    EXPECT_FALSE(QFile::exists(Archivo()));
    EXPECT_TRUE(mensajes.mostrados.empty()) << "never a message box";
    Forma().TxtCalle->setDatoTxt(QStringLiteral("CALLE"));
    Asienta();
    EXPECT_TRUE(QFile::exists(Archivo()));
}
