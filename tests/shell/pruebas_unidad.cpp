// The delivery medium chosen in the program, and the copies of requests kept in folders.
#include "ArranquePrueba.h"
#include "Auxiliares.h"
#include "ControlIntercambio.h"
#include "DlgSolicitudes.h"
#include "TablasSolicitud.h"
#include "UnidadEntrega.h"

#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>

using namespace lorum;
using namespace lorum::prueba;

namespace {

using R = ServicioMensajes::Respuesta;
using O = UnidadEntrega::Origen;

std::map<QString, QByteArray> TablasDe(const QString& carpeta) {
    std::map<QString, QByteArray> t;
    for (const auto& d : tablas::TablasDeSolicitud()) t[d.archivo.toLower()] = LeeBytes(ResuelveArchivo(carpeta, d.archivo));
    return t;
}

class Unidades : public Arranque {
protected:
    void SetUp() override {
        Arranque::SetUp();
        if (EsperaAvisoRfc()) mensajes.Responde(R::Aceptar);
        inicia = std::make_unique<Inicia>(mensajes, sonido);
        auto m = std::make_unique<MediosFalsos>(QDir(ajustes.path()).filePath("lorum.ini"));
        medios = m.get();
        inicia->PonMedios(std::move(m));
        ASSERT_TRUE(inicia->Main(dir.path()));
        mensajes.mostrados.clear();
        PrestaTeclado();
        ControlIntercambio& x = *Ventana().intercambio();
        x.raiz = copias.path();
        x.MuestraUnidades = [this](const std::vector<MedioExtraible>&, const QString& aviso) {
            avisos << aviso;
            return eleccion;
        };
        x.EligeCarpetaCopia = [this](const QString& propuesta) {
            propuestas << propuesta;
            return propuesta;
        };
    }
    void Guarda() {
        mensajes.Responde(R::Aceptar);
        ASSERT_TRUE(Forma().GuardaInformacion());
    }
    QString Copia() {
        mensajes.Responde(R::Aceptar);
        Ventana().intercambio()->GuardaCopia();
        return propuestas.isEmpty() ? QString() : propuestas.back();
    }
    QString Ultimo() const { return mensajes.mostrados.empty() ? QString() : mensajes.mostrados.back().texto; }

    QTemporaryDir ajustes, copias, memorias;
    MediosFalsos* medios = nullptr;
    QString eleccion;
    QStringList avisos, propuestas;
};

}  // namespace

TEST(UnidadEntrega, LosMediosDeLinuxYWindowsYDeDondeSeToma) {
    const std::vector<Volumen> volumenes = {
        {"/", "", 100, false, true},
        {"/boot/efi", "", 100, false, true},
        {"/media", "", 100, false, true},  // the folder of the mounts, no medium
        {"/media/ana/MEMORIA", "MEMORIA", 3'200'000'000, false, true},
        {"/run/media/luis/3A1F-0C2B", "", 1000, false, true},
        {"/media/ana/VACIA", "", -1, false, false},  // not ready
        {"C:/", "Sistema", 100, false, true},
        {"E:/", "KINGSTON", 8'000'000'000, true, true},
        {"A:/", "", 1'400'000, false, true},
    };
    std::vector<std::pair<QString, QString>> vistos;
    for (const MedioExtraible& m : MediosExtraibles(volumenes)) vistos.emplace_back(m.nombre, QDir::fromNativeSeparators(m.carpeta));
    const std::vector<std::pair<QString, QString>> esperados = {
        {"MEMORIA", "/media/ana/MEMORIA"}, {"3A1F-0C2B", "/run/media/luis/3A1F-0C2B"}, {"KINGSTON", "E:/"}, {"A:", "A:/"}};
    EXPECT_EQ(vistos, esperados);
    EXPECT_TRUE(MediosExtraibles(volumenes)[0].Texto().startsWith(QStringLiteral("MEMORIA — ")));

    const struct {
        std::optional<QString> opcion;
        QString entorno, elegida;
        QString carpeta;
        O origen;
    } casos[] = {
        {QStringLiteral("/mnt/usb"), "/env", "/elegida", "/mnt/usb", O::LineaDeOrdenes},
        {std::nullopt, "/env", "/elegida", "/env", O::Entorno},
        {QString(), "", "/elegida", "/elegida", O::Elegida},
        {std::nullopt, "", "", "/media/floppy", O::Predeterminada},
    };
    for (const auto& c : casos) {
        const UnidadEntrega u = UnidadEntrega::Resuelve(c.opcion, c.entorno, c.elegida, QStringLiteral("/media/floppy"));
        EXPECT_EQ(u.carpeta, c.carpeta);
        EXPECT_EQ(u.origen, c.origen);
    }

    // Remembered across runs; the recent copies newest first, each once, at most eight.
    QTemporaryDir t;
    const QString ini = QDir(t.path()).filePath("lorum.ini");
    MediosDeEntrega(ini).Recuerda(QStringLiteral("/media/ana/MEMORIA"));
    for (int i = 0; i < 10; ++i) MediosDeEntrega(ini).AgregaReciente(QStringLiteral("/copias/%1").arg(i % 9));
    const MediosDeEntrega leidos(ini);
    EXPECT_EQ(leidos.Recordada(), QStringLiteral("/media/ana/MEMORIA"));
    EXPECT_EQ(leidos.Recientes().size(), MediosDeEntrega::kRecientes);
    EXPECT_EQ(leidos.Recientes().front(), QStringLiteral("/copias/0"));
    EXPECT_EQ(leidos.Recientes()[1], QStringLiteral("/copias/8"));
}

TEST_F(Unidades, SinLaUnidadSeEligeOtraYSeSigueOSeCancelaSinEscribir) {
    LlenaSolicitud(Forma());
    Guarda();
    const QString llena = QDir(memorias.path()).filePath("llena");
    ASSERT_TRUE(QDir().mkpath(llena));
    for (const auto& d : tablas::TablasDeSolicitud()) ASSERT_TRUE(CopiaTabla(dir.filePath(d.archivo), QDir(llena).filePath(d.archivo)).ok);
    const QString falta = QDir(memorias.path()).filePath("no-conectada");
    const struct {
        const char* que;
        std::function<void()> orden;
        std::vector<R> respuestas;
        bool elige;
        const char* dice;  // the last message
    } casos[] = {
        {"delivery, chosen", [this] { Forma().GeneraDisco(); }, {R::Aceptar, R::Aceptar}, true,
         "Se ha guardado la información correctamente en la unidad A:"},
        {"delivery, cancelled", [this] { Forma().GeneraDisco(); }, {R::Aceptar, R::Aceptar}, false, "La solicitud no quedó entregada."},
        {"recovery, chosen", [this] { Forma().RecuperaDisco(); }, {R::Aceptar}, true, "Proceso terminado."},
        {"recovery, cancelled", [this] { Forma().RecuperaDisco(); }, {R::Aceptar}, false, "Inserte un diskette en la unidad A."},
        {"items, chosen", [this] { Forma().RecuperaMercancias(); }, {R::Aceptar}, true, "Proceso terminado."},
        {"items, cancelled", [this] { Forma().RecuperaMercancias(); }, {R::Aceptar}, false, "Inserte un diskette en la unidad A."},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.que);
        inicia->estado().sUnidadA = falta;
        medios->Recuerda({});
        eleccion = c.elige ? llena : QString();
        avisos.clear();
        const auto antes = TablasDe(dir.path());
        for (R r : c.respuestas) mensajes.Responde(r);
        c.orden();
        ASSERT_EQ(avisos.size(), 1);
        EXPECT_TRUE(avisos[0].startsWith(QStringLiteral("No se encontró la unidad de entrega «%1».").arg(QDir::toNativeSeparators(falta))));
        EXPECT_TRUE(Ultimo().endsWith(QString::fromUtf8(c.dice))) << Ultimo().toStdString();
        EXPECT_EQ(medios->Recordada(), c.elige ? llena : QString());
        EXPECT_EQ(inicia->estado().sUnidadA, c.elige ? llena : falta);
        EXPECT_FALSE(QFileInfo::exists(falta)) << "nothing written where there is no drive";
        if (!c.elige) {
            EXPECT_EQ(TablasDe(dir.path()), antes);
        }
        EXPECT_TRUE(mensajes.SinRespuestasPendientes());
    }
}

TEST_F(Unidades, UnaCopiaSeAbreByteAByteYLoNoGuardadoSePreguntaAntes) {
    // Nothing saved yet: refused as a delivery is.
    Copia();
    EXPECT_EQ(Ultimo(), QStringLiteral("No se puede exportar al disco porque no se ha guardado la información"));
    EXPECT_TRUE(propuestas.isEmpty());

    LlenaSolicitud(Forma());
    Guarda();
    const QString copia = Copia();
    EXPECT_EQ(copia, QDir(copias.path()).filePath(QStringLiteral("PEGJ800101AB1 %1").arg(QDate::currentDate().toString(Qt::ISODate))));
    EXPECT_TRUE(Ultimo().startsWith(QStringLiteral("Se guardó una copia de la solicitud en «")));
    const auto guardadas = TablasDe(dir.path());
    EXPECT_EQ(TablasDe(copia), guardadas);
    // A folder holding a request is replaced only when the user says so.
    EscribeBytes(QDir(copia).filePath(tablas::kLorums), "otra");
    mensajes.Responde(R::No);
    Ventana().intercambio()->GuardaCopia();
    EXPECT_TRUE(Ultimo().startsWith(QStringLiteral("La carpeta «"))) << Ultimo().toStdString();
    EXPECT_EQ(LeeBytes(QDir(copia).filePath(tablas::kLorums)), "otra");
    mensajes.Responde(R::Si);
    mensajes.Responde(R::Aceptar);
    Ventana().intercambio()->GuardaCopia();
    EXPECT_EQ(TablasDe(copia), guardadas);
    EXPECT_TRUE(mensajes.SinRespuestasPendientes());

    // Changed and saved; the copy brings the first request back, byte for byte.
    Forma().TxtMlJust->setDatoTxt(QStringLiteral("OTRA"));
    Guarda();
    ASSERT_NE(TablasDe(dir.path()), guardadas);
    Ventana().intercambio()->AbreCarpeta(copia);
    EXPECT_EQ(TablasDe(dir.path()), guardadas);
    EXPECT_EQ(Forma().TxtMlJust->Text(), QStringLiteral("MEJORA GENÉTICA"));
    EXPECT_EQ(medios->Recientes(), QStringList{QDir::cleanPath(copia)});
    QMenu recientes;
    Ventana().intercambio()->LlenaRecientes(&recientes, [](const std::function<void()>& f) { f(); });
    ASSERT_EQ(recientes.actions().size(), 1);
    EXPECT_TRUE(recientes.actions()[0]->text().startsWith(QStringLiteral("PEGJ800101AB1 — PEÑA GÓMEZ JOSÉ — ")));

    // A copy with a damaged table is refused and nothing is replaced.
    const QString danada = QDir(copias.path()).filePath("danada");
    ASSERT_TRUE(QDir().mkpath(danada));
    for (const auto& [t, bytes] : guardadas) EscribeBytes(QDir(danada).filePath(t), t == u"empresas.dbf" ? bytes.left(40) : bytes);
    Forma().TxtMlJust->setDatoTxt(QStringLiteral("OTRA"));
    Guarda();
    const auto otra = TablasDe(dir.path());
    mensajes.Responde(R::Aceptar);
    Ventana().intercambio()->AbreCarpeta(danada);
    EXPECT_TRUE(Ultimo().endsWith(QStringLiteral("No se abrió la solicitud: las tablas quedaron como estaban."))) << Ultimo().toStdString();
    EXPECT_EQ(TablasDe(dir.path()), otra);

    // Typing not saved: each answer does what it says.
    const struct {
        const char* que;
        std::vector<R> respuestas;
        bool calleVacia;  // a save that is refused
        bool abre;
    } casos[] = {
        {"Cancelar", {R::Cancelar}, false, false},
        {"Sí, refused", {R::Si, R::Aceptar}, true, false},
        {"Sí", {R::Si, R::Aceptar}, false, true},
        {"No", {R::No}, false, true},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.que);
        Forma().TxtMlJust->setDatoTxt(QStringLiteral("OTRA"));
        Guarda();
        Forma().TxtMlJust->setDatoTxt(QStringLiteral("SIN GUARDAR"));
        if (c.calleVacia) Forma().TxtCalle->setDatoTxt(QString());
        const auto antes = TablasDe(dir.path());
        mensajes.mostrados.clear();
        for (R r : c.respuestas) mensajes.Responde(r);
        Ventana().intercambio()->AbreCarpeta(copia);
        ASSERT_FALSE(mensajes.mostrados.empty());
        EXPECT_EQ(mensajes.mostrados[0].texto, QStringLiteral("¿Desea guardar su información antes de abrir otra solicitud?"));
        EXPECT_EQ(mensajes.mostrados[0].botones, ServicioMensajes::Botones::SiNoCancelar);
        EXPECT_TRUE(mensajes.SinRespuestasPendientes()) << mensajes.Textos().join(" | ").toStdString();
        if (c.abre) {
            EXPECT_EQ(TablasDe(dir.path()), guardadas);
            EXPECT_EQ(Forma().TxtMlJust->Text(), QStringLiteral("MEJORA GENÉTICA"));
        } else {
            EXPECT_EQ(TablasDe(dir.path()), antes);
            EXPECT_EQ(Forma().TxtMlJust->Text(), QStringLiteral("SIN GUARDAR"));
        }
        if (c.calleVacia) Forma().TxtCalle->setDatoTxt(QStringLiteral("REFORMA 100"));
    }
}

TEST_F(Unidades, LaListaDeSolicitudesFiltraOrdenaYNoAbreLasDanadas) {
    LlenaSolicitud(Forma());
    Guarda();
    const QDir raiz(copias.path());
    for (const char* nombre : {"uno", "dos", "danada", "sin tablas"}) ASSERT_TRUE(raiz.mkpath(nombre));
    for (const char* nombre : {"uno", "dos", "danada"})
        for (const auto& d : tablas::TablasDeSolicitud())
            ASSERT_TRUE(CopiaTabla(dir.filePath(d.archivo), raiz.filePath(QString::fromLatin1(nombre) + u'/' + d.archivo)).ok);
    {
        Cursor e = AbreCursor(raiz.filePath("dos"), QStringLiteral("FoxPro 2.5;"), tablas::kEmpresas);
        e.MoveLast();
        e.Edit();
        e.SetValor(u"RFC", QStringLiteral("OTRO010101AB1"));
        e.Update();
    }
    EscribeBytes(raiz.filePath("danada/lorums.dbf"), "dañada");
    DlgSolicitudes d(raiz.path(), dir.path(), nullptr);
    ASSERT_EQ(d.lista->topLevelItemCount(), 3) << "the folder without tables is not a request";
    int danadas = 0;
    for (int i = 0; i < 3; ++i) {
        QTreeWidgetItem* r = d.lista->topLevelItem(i);
        if (r->text(1).startsWith(QStringLiteral("(dañada"))) {
            ++danadas;
            EXPECT_FALSE(r->flags() & Qt::ItemIsEnabled);
        } else {
            EXPECT_EQ(r->text(2), QStringLiteral("PERMISO PREVIO DE IMPORTACIÓN"));
            EXPECT_EQ(r->text(4), QStringLiteral("1,234,567.12"));
        }
    }
    EXPECT_EQ(danadas, 1);
    // Typed into the search, Enter opens the one request it leaves.
    QTest::keyClicks(d.filtro, QStringLiteral("otro"));
    int visibles = 0;
    for (int i = 0; i < 3; ++i) visibles += !d.lista->topLevelItem(i)->isHidden();
    EXPECT_EQ(visibles, 1);
    QTest::keyClick(d.filtro, Qt::Key_Return);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Carpeta(), raiz.filePath("dos"));
}
