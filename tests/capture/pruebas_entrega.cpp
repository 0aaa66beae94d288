// "Genera Disco", "Recupera Información" and "Recuperar Mercancias" on the real form, with a
// temporary folder as the drive.
#include "ArranquePrueba.h"
#include "Archivos.h"
#include "Auxiliares.h"
#include "BarraNavegacion.h"
#include "RejillaLigada.h"
#include "TablasSolicitud.h"

#include <QDir>
#include <QFile>
#include <QProcess>

using namespace lorum;
using namespace lorum::prueba;

namespace {

using R = ServicioMensajes::Respuesta;

class Entrega : public FormaLista {
protected:
    void SetUp() override {
        FormaLista::SetUp();
        ASSERT_TRUE(unidad.isValid());
        inicia->estado().sUnidadA = unidad.path();
    }
    QString EnUnidad(const QString& t) { return QDir(unidad.path()).filePath(t); }
    void Guarda() {
        LlenaSolicitud(Forma());
        mensajes.Responde(R::Aceptar);
        Forma().GuardaInformacion();
    }
    void Genera(std::initializer_list<R> respuestas) {
        for (R r : respuestas) mensajes.Responde(r);
        Forma().GeneraDisco();
    }
    QTemporaryDir unidad;
};

}  // namespace

TEST_F(Entrega, GeneraDiscoSoloConLoGuardado) {
    // Cancel, the start-up placeholder, a street never saved: nothing reaches the drive.
    Genera({R::Cancelar});
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("¿Esta seguro de que el disco este en la unidad A:?"));
    EXPECT_EQ(mensajes.mostrados.back().botones, ServicioMensajes::Botones::AceptarCancelar);
    Genera({R::Aceptar, R::Aceptar});
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("No se puede exportar al disco porque no se ha guardado la información"));
    Guarda();
    Cursor e = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.5;"), QStringLiteral("empresas"));
    e.Edit();
    e.SetValor(u"DIRECCION1", QVariant());
    e.Update();
    Genera({R::Aceptar, R::Aceptar});
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("No se puede exportar al disco porque no se ha guardado la información"));
    EXPECT_TRUE(QDir(unidad.path()).isEmpty());

    // Saved: the four tables on the drive, byte for byte; the drive missing: said, and no success.
    Guarda();
    Genera({R::Aceptar, R::Aceptar});
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("Se ha guardado la información correctamente en la unidad A:"));
    EXPECT_FALSE(mensajes.mostrados.back().ocupado);
    for (const QString& t : {tablas::kMercanci, tablas::kEmpresas, tablas::kLorums, tablas::kLorumpai})
        EXPECT_EQ(LeeBytes(EnUnidad(t)), LeeBytes(ResuelveArchivo(dir.path(), t))) << t.toStdString();
    inicia->estado().sUnidadA = unidad.filePath(QStringLiteral("no-hay"));
    Genera({R::Aceptar, R::Aceptar});
    EXPECT_TRUE(mensajes.mostrados.back().texto.contains(QStringLiteral("no quedó entregada"))) << mensajes.mostrados.back().texto.toStdString();

    // An independent reader finds the saved request in the delivered table.
    QProcess lector;
    lector.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QStringLiteral("import dbfread,sys; print(next(iter(dbfread.DBF(sys.argv[1], encoding='cp850')))['RSAPELPAT'])"),
                  EnUnidad(tablas::kEmpresas)});
    if (!lector.waitForFinished(20000) || lector.exitCode() != 0) GTEST_SKIP() << "python3-dbfread no disponible";
    EXPECT_EQ(QString::fromUtf8(lector.readAllStandardOutput()).trimmed(), QStringLiteral("PEÑA"));
}

TEST_F(Entrega, RecuperarDelDisco) {
    Guarda();
    Cursor m = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.6;"), QStringLiteral("mercanci"));
    m.AddNew();
    m.SetValor(u"DESCRIP", QStringLiteral("DEL DISCO"));
    m.Update();
    Cursor p = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.5;"), QStringLiteral("lorumpai"));
    p.AddNew();
    p.SetValor(u"NOMCOMPAI", QStringLiteral("ALBANIA"));
    p.Update();
    Genera({R::Aceptar, R::Aceptar});
    // The working request changes after the delivery.
    mensajes.Responde(R::No);
    Forma().LimpiaInformacion();
    Captura& f = Forma();
    const QString titulo = f.windowTitle();
    std::map<QString, QByteArray> vacias;
    for (const QString& t : {tablas::kMercanci, tablas::kEmpresas, tablas::kLorums, tablas::kLorumpai})
        vacias[t] = LeeBytes(ResuelveArchivo(dir.path(), t));

    // Missing drive; three of four files; a damaged table; a replacement that fails at the third.
    inicia->estado().sUnidadA = unidad.filePath(QStringLiteral("no-hay"));
    mensajes.Responde(R::Aceptar);
    f.RecuperaDisco();
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("Inserte un diskette en la unidad A."));
    inicia->estado().sUnidadA = unidad.path();
    const QByteArray lorums = LeeBytes(EnUnidad(tablas::kLorums));
    QFile::remove(EnUnidad(tablas::kLorums));
    mensajes.Responde(R::Aceptar);
    f.RecuperaDisco();
    EXPECT_TRUE(mensajes.mostrados.back().texto.startsWith(QStringLiteral("El disco desde el que deseas realizar la recuperación")));
    EscribeBytes(EnUnidad(tablas::kLorums), lorums);
    const QByteArray mercanci = LeeBytes(EnUnidad(tablas::kMercanci));
    EscribeBytes(EnUnidad(QStringLiteral("mercanci.dbf")), mercanci.left(20));
    mensajes.Responde(R::Aceptar);
    f.RecuperaDisco();
    EXPECT_TRUE(mensajes.mostrados.back().texto.contains(QStringLiteral("quedaron como estaban")));
    EscribeBytes(EnUnidad(tablas::kMercanci), mercanci);
    int copias = 0;
    f.CopiaDeRecuperacion = [&](const QString& o, const QString& d) {
        return ++copias >= 3 ? ResultadoCopia{false, QStringLiteral("falla")} : CopiaTabla(o, d);
    };
    mensajes.Responde(R::Aceptar);
    f.RecuperaDisco();
    EXPECT_TRUE(mensajes.mostrados.back().texto.contains(QStringLiteral("quedaron como estaban")));
    for (const auto& [t, bytes] : vacias) EXPECT_EQ(LeeBytes(ResuelveArchivo(dir.path(), t)), bytes) << t.toStdString();
    EXPECT_EQ(f.windowTitle(), titulo);

    // The items and countries alone, then the whole request: the form and both grids show the drive's.
    f.CopiaDeRecuperacion = CopiaTabla;
    mensajes.Responde(R::Aceptar);
    f.RecuperaMercancias();
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("Proceso terminado."));
    EXPECT_EQ(f.dbProducto->modelo()->NumRegistros(), 1);
    EXPECT_EQ(f.dfRFC->Text(), QString()) << "the applicant stays as it was";
    mensajes.Responde(R::Aceptar);
    f.RecuperaDisco();
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("Proceso terminado."));
    EXPECT_EQ(f.dfRFC->Text(), QStringLiteral("PEGJ800101AB1"));
    EXPECT_EQ(f.TxtMlJust->Text(), QStringLiteral("MEJORA GENÉTICA"));
    EXPECT_EQ(f.dbProducto->modelo()->Valor(0, 4).toString(), QStringLiteral("DEL DISCO"));
    ASSERT_EQ(f.DBGPais->modelo()->NumRegistros(), 1);
    EXPECT_EQ(f.DBGPais->modelo()->Valor(0, 3).toString(), QStringLiteral("ALBANIA"));
    EXPECT_EQ(f.windowTitle(), titulo);
    EXPECT_TRUE(mensajes.SinRespuestasPendientes());
}

TEST_F(Entrega, ImportarMuestraLasPartidasAlInstante) {
    Captura& f = Forma();
    ASSERT_TRUE(QFile::copy(QStringLiteral(LORUM_DIR_LIBROS "/basico-biff8.xls"), dir.filePath("mercancia.xls")));
    f.ImportaInfo();  // a successful import says nothing
    EXPECT_TRUE(mensajes.mostrados.empty()) << mensajes.Textos().join(" | ").toStdString();
    EXPECT_EQ(f.dbProducto->modelo()->NumRegistros(), 3);
    EXPECT_EQ(f.Text1->text(), QStringLiteral("3.5"));
    EXPECT_EQ(f.Text2->text(), QStringLiteral("150"));
    EXPECT_EQ(f.NavegadorMercancia->Caption(), QStringLiteral("Partida: 1 de 3"));
    // Into a table that holds items already, the totals are those of every item: what a save stores.
    f.ImportaInfo();
    EXPECT_EQ(f.dbProducto->modelo()->NumRegistros(), 6);
    EXPECT_EQ(f.Text1->text(), QStringLiteral("7"));
    EXPECT_EQ(f.Text2->text(), QStringLiteral("300"));
    // "Importa de otro libro...": a cancelled chooser does nothing; a workbook with faults (every
    // formula without its result) gives one message and appends nothing.
    QString elegido;
    f.EligeLibro = [&](const QString& carpeta) {
        EXPECT_EQ(carpeta, dir.path());
        return elegido;
    };
    f.ImportaOtroLibro();
    EXPECT_EQ(mensajes.mostrados.size(), 0u);
    elegido = QStringLiteral(LORUM_DIR_LIBROS "/tipos-openpyxl.xlsx");
    mensajes.Responde(R::Aceptar);
    f.ImportaOtroLibro();
    ASSERT_EQ(mensajes.mostrados.size(), 1u);
    EXPECT_TRUE(mensajes.mostrados.back().texto.startsWith(QStringLiteral("No se importó ninguna partida de «tipos-openpyxl.xlsx»")));
    EXPECT_EQ(f.dbProducto->modelo()->NumRegistros(), 6);
}
