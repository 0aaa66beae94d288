// Changes of several tables cut by a kill at each of their steps, then a start-up on that folder.
#include "Auxiliares.h"
#include "Corte.h"
#include "Diario.h"
#include "ErrorTabla.h"
#include "OrigenDatos.h"
#include "TablasSolicitud.h"

#include <QDir>
#include <functional>
#include <map>
#include <memory>
#include <QProcess>
#include <cstdlib>

using namespace lorum;
using namespace lorum::prueba;

namespace {

const QString kFox = QStringLiteral("FoxPro 2.5;");
using Foto = std::map<QString, QByteArray>;

class Diario : public DirectorioPrueba {
protected:
    void SetUp() override {
        DirectorioPrueba::SetUp();
        TablaDbf::FijaReloj([] { return QDate(2026, 12, 7); });
        unidad = Ruta("unidad");
        inicial = Ruta("inicial");
        QDir().mkpath(unidad);
        QDir().mkpath(inicial);
        // The request in the data folder and another one on the drive, different in every table.
        for (const auto& t : tablas::TablasDeSolicitud()) {
            TablaDbf::Crea(QDir(inicial).filePath(t.archivo), *t.definicion);
            TablaDbf::Crea(QDir(inicial).filePath(t.plantilla), *t.definicion);
            TablaDbf::Crea(QDir(unidad).filePath(t.archivo), *t.definicion);
            Llena(inicial, t.archivo, QStringLiteral("VIEJA"), 3);
            Llena(unidad, t.archivo, QStringLiteral("NUEVA"), 40);
        }
        // The user's own files beside the tables, named as a cut write of a table once was: never removed.
        EscribeBytes(QDir(inicial).filePath("mercanci.dbf.backup"), "del usuario");
        EscribeBytes(QDir(inicial).filePath("EMPRESAS.DBF.201412"), "del usuario");
    }
    void TearDown() override { TablaDbf::FijaReloj({}); }

    static void Llena(const QString& dir, const QString& tabla, const QString& texto, int cuantos) {
        Cursor c = AbreCursor(dir, kFox, tabla);
        const int campo = c.CampoEn(0).tipo == 'C' ? 0 : 2;  // mercanci starts with numbers
        for (int i = 0; i < cuantos; ++i) {
            c.AddNew();
            c.SetValor(campo, texto.left(c.CampoEn(campo).ancho));
            c.Update();
        }
    }

    // A copy of the initial folder, as a new data folder.
    QString Copia(const QString& nombre) {
        const QString d = Ruta(nombre);
        QDir().mkpath(d);
        for (const QString& f : QDir(inicial).entryList(QDir::Files)) QFile::copy(QDir(inicial).filePath(f), QDir(d).filePath(f));
        return d;
    }
    // Every file of a folder; of a table, what a reader sees: its header and the records it counts.
    static Foto Fotografia(const QString& dir) {
        Foto f;
        for (const QString& n : QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            QByteArray b = LeeBytes(QDir(dir).filePath(n));
            if (n.endsWith(QLatin1String(".dbf"), Qt::CaseInsensitive) && b.size() >= 12) {
                auto le = [&](int i, int ancho) { qint64 v = 0; for (int k = ancho - 1; k >= 0; --k) v = v << 8 | quint8(b[i + k]); return v; };
                b.truncate(le(8, 2) + le(4, 4) * le(10, 2));
            }
            f[n] = b;
        }
        return f;
    }

    QString unidad, inicial;
};

// Every change the program makes on several tables, or on one table in several writes.
const struct {
    const char* caso;
    std::function<void(const QString& datos, const QString& unidad)> cambio;
} kCambios[] = {
    {"recuperar las cuatro tablas",
     [](const QString& datos, const QString& unidad) {
         CambioDeTablas c(datos, QStringLiteral("Recupera Información"));
         for (const auto& t : tablas::TablasDeSolicitud()) c.Reemplaza(t.archivo, QDir(unidad).filePath(t.archivo), *t.definicion);
         c.Confirma();
     }},
    {"limpiar conservando los datos generales",
     [](const QString& datos, const QString&) {
         CambioDeTablas c(datos, QStringLiteral("Limpiar"));
         c.Reemplaza(tablas::kMercanci, QDir(datos).filePath("Omercanci.dbf"), tablas::Mercanci());
         c.Reemplaza(tablas::kLorumpai, QDir(datos).filePath("OLORUMPAI.dbf"), tablas::Lorumpai());
         Cursor s = AbreCursor(datos, kFox, tablas::kLorums);
         s.MoveLast();
         c.Borra(s);
         c.Confirma();
     }},
    {"guardar el solicitante y la solicitud",
     [](const QString& datos, const QString&) {
         CambioDeTablas c(datos, QStringLiteral("Guardar"));
         Cursor e = AbreCursor(datos, kFox, tablas::kEmpresas);
         Cursor s = AbreCursor(datos, kFox, tablas::kLorums);
         e.MoveLast();
         e.Edit();
         e.SetValor(u"NOMBRE", QStringLiteral("GUARDADO"));
         s.AddNew();
         s.SetValor(u"RFC", QStringLiteral("GUARDADO"));
         c.Escribe(e);
         c.Escribe(s);
         c.Confirma();
     }},
    {"importar partidas de una vez",
     [](const QString& datos, const QString&) {
         Cursor m = AbreCursor(datos, kFox, tablas::kMercanci);
         std::vector<QByteArray> nuevos;
         for (int i = 0; i < 200; ++i) {
             m.AddNew();
             m.SetValor(u"PARTIDA", i + 1);
             nuevos.push_back(m.Pendiente());
         }
         m.AgregaVarios(nuevos);
     }},
};

// Runs change `cambio` on `datos` in a child process (this test program again) that ends itself at
// its k-th cut point, as a kill would end it; true when it was cut.
bool CortaEn(int k, int cambio, const QString& datos, const QString& unidad) {
    QProcess hijo;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("LORUM_HIJO_CORTE"), QStringLiteral("%1|%2|%3|%4").arg(k).arg(cambio).arg(datos, unidad));
    hijo.setProcessEnvironment(entorno);
    hijo.start(QString::fromStdString(::testing::internal::GetArgvs().front()),
               {QStringLiteral("--gtest_filter=HijoDelDiario.DISABLED_SeCorta"), QStringLiteral("--gtest_also_run_disabled_tests")});
    const bool termino = hijo.waitForFinished(120000);
    EXPECT_TRUE(termino && hijo.exitStatus() == QProcess::NormalExit && hijo.exitCode() != 4) << "the change failed in the child";
    return termino && hijo.exitCode() == 3;
}

}  // namespace

// The child's side of CortaEn, run only by it ("k|change|data folder|drive" in LORUM_HIJO_CORTE),
// with the tests' clock.
TEST(HijoDelDiario, DISABLED_SeCorta) {
    const QList<QByteArray> orden = qgetenv("LORUM_HIJO_CORTE").split('|');
    if (orden.size() != 4) GTEST_SKIP() << "run by CortaEn only";
    TablaDbf::FijaReloj([] { return QDate(2026, 12, 7); });
    const int k = orden[0].toInt();
    int pasos = 0;
    FijaPuntoDeCorte([&] {
        if (++pasos == k) std::_Exit(3);
    });
    try {
        kCambios[orden[1].toInt()].cambio(QString::fromUtf8(orden[2]), QString::fromUtf8(orden[3]));
    } catch (...) {
        std::_Exit(4);
    }
    std::_Exit(0);
}

TEST_F(Diario, UnCorteEnCualquierPasoDejaLaSolicitudViejaOLaNueva) {
    for (const auto& caso : kCambios) {
        const Foto vieja = Fotografia(inicial);
        const QString entera = Copia(QStringLiteral("entera-%1").arg(&caso - kCambios));
        caso.cambio(entera, unidad);
        EXPECT_EQ(RecuperaDiario(entera), QString()) << caso.caso << ": a whole change leaves nothing to tell";
        const Foto nueva = Fotografia(entera);
        ASSERT_NE(vieja, nueva) << caso.caso;

        int vistasViejas = 0, vistasNuevas = 0, k = 1;
        for (;; ++k) {
            const QString datos = Copia(QStringLiteral("corte-%1-%2").arg(&caso - kCambios).arg(k));
            if (!CortaEn(k, int(&caso - kCambios), datos, unidad)) break;
            const QString dicho = RecuperaDiario(datos);
            const Foto despues = Fotografia(datos);
            const bool esVieja = despues == vieja, esNueva = despues == nueva;
            EXPECT_TRUE(esVieja || esNueva) << caso.caso << ", cut at point " << k << ": a mix or a stray file";
            vistasViejas += esVieja;
            vistasNuevas += esNueva;
            // What start-up did is told as it was: completed, or left as it was.
            if (!dicho.isEmpty()) {
                EXPECT_TRUE(dicho.contains(esNueva ? QStringLiteral("se terminó") : QStringLiteral("como estaba")))
                    << caso.caso << ", " << k << ": " << dicho.toStdString();
            }
        }
        EXPECT_GT(k, 2) << caso.caso;
        EXPECT_GT(vistasViejas, 0) << caso.caso;
        EXPECT_GT(vistasNuevas, 0) << caso.caso;
    }
}

// A step that fails: the `vez`-th time (and every time after it, with `siempre`) that `paso` is
// reached for a path ending in `sufijo`.
std::function<bool(QStringView, const QString&)> FallaEn(const char* paso, const char* sufijo, int vez, bool siempre = false) {
    auto n = std::make_shared<int>(0);
    return [=](QStringView p, const QString& ruta) {
        if (p != QLatin1String(paso) || !ruta.endsWith(QLatin1String(sufijo))) return false;
        return siempre ? ++*n >= vez : ++*n == vez;
    };
}

// A change whose own steps fail, or a start that fails while completing or undoing one: what the
// user is told is what the folder holds after the next start, and never a mix.
TEST_F(Diario, LoQueSeDiceEsLoQueQuedaTrasIniciar) {
    const Foto vieja = Fotografia(inicial);
    std::vector<Foto> nuevas;
    for (const auto& caso : kCambios) {
        const QString d = Copia(QStringLiteral("nueva-%1").arg(&caso - kCambios));
        caso.cambio(d, unidad);
        RecuperaDiario(d);
        nuevas.push_back(Fotografia(d));
    }
    struct Caso {
        const char* que;
        int cambio;
        int cortaEn;  // 0: the change runs whole, with `alCambiar` failing its steps
        std::function<bool(QStringView, const QString&)> alCambiar, alIniciar;
        const char* dice;  // what the change or the start says
        bool nueva;        // the folder after the next (sound) start
    };
    const std::vector<Caso> casos = {
        {"save: the folder's flush fails right after the journal", 2, 0, FallaEn("asegura-directorio", "", 1), {},
         "No se pudo escribir el diario «lorum.diario»", false},
        {"save: the second record fails and so does undoing the first", 2, 0, FallaEn("escribe", ".dbf", 2, true), {},
         "No se pudo deshacer el cambio. Cierre el programa y vuelva a iniciarlo: al iniciar se completará", true},
        {"recover: the second table is not switched in, nor the first put back", 0, 0, FallaEn("renombra", "s.dbf", 2, true), {},
         "No se pudo deshacer el cambio", true},
        {"recover: the second table is not switched in; the first goes back", 0, 0, FallaEn("renombra", "s.dbf", 2), {},
         "Las tablas quedaron como estaban.", false},
        {"save cut after its first record; at start the second cannot be written, its undo can", 2, 3, {},
         FallaEn("escribe", "lorums.dbf", 1), "se deshizo: la solicitud quedó como estaba antes", false},
        {"save cut after its first record; at start nothing can be written", 2, 3, {}, FallaEn("escribe", ".dbf", 1, true),
         "no se pudo completar ni deshacer", true},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.que);
        const QString datos = Copia(QStringLiteral("falla-%1").arg(&c - casos.data()));
        QString dicho;
        if (c.cortaEn > 0) {
            ASSERT_TRUE(CortaEn(c.cortaEn, c.cambio, datos, unidad));
            FijaFallas(c.alIniciar);
            bool pendiente = false;
            dicho = RecuperaDiario(datos, &pendiente);
            FijaFallas({});
            EXPECT_EQ(pendiente, QFileInfo::exists(QDir(datos).filePath(kDiario)));
        } else {
            FijaFallas(c.alCambiar);
            try {
                kCambios[c.cambio].cambio(datos, unidad);
                ADD_FAILURE() << "the change did not fail";
            } catch (const ErrorTabla& e) {
                dicho = e.mensaje();
            }
            FijaFallas({});
        }
        EXPECT_TRUE(dicho.contains(QString::fromUtf8(c.dice))) << dicho.toStdString();
        bool pendiente = true;
        RecuperaDiario(datos, &pendiente);
        EXPECT_FALSE(pendiente);
        const Foto despues = Fotografia(datos);
        EXPECT_TRUE(despues == (c.nueva ? nuevas[size_t(c.cambio)] : vieja)) << "the folder is not what was said";
    }
}

TEST_F(Diario, UnaCopiaPreparadaDanadaTrasElCorteSeDeshace) {
    // Cut right after the journal was written (4 staged copies, the old tables' second names, then the journal): one staged copy
    // is then damaged, so the change cannot be completed and is undone from the old tables.
    const Foto vieja = Fotografia(inicial);
    const QString datos = Copia(QStringLiteral("danada"));
    ASSERT_TRUE(CortaEn(6, 0, datos, unidad));
    ASSERT_TRUE(QFileInfo::exists(QDir(datos).filePath(kDiario)));
    EscribeBytes(QDir(datos).filePath("lorums.dbf.lorum-nuevo"), "dañado");
    const QString dicho = RecuperaDiario(datos);
    EXPECT_TRUE(dicho.contains(QStringLiteral("«Recupera Información»")) && dicho.contains(QStringLiteral("se deshizo")))
        << dicho.toStdString();
    EXPECT_EQ(Fotografia(datos), vieja);

    // A journal that is not whole (its last line lost) is no change to complete: nothing moves.
    const QString otra = Copia(QStringLiteral("diario-cortado"));
    ASSERT_TRUE(CortaEn(6, 0, otra, unidad));
    const QByteArray diario = LeeBytes(QDir(otra).filePath(kDiario));
    EscribeBytes(QDir(otra).filePath(kDiario), diario.left(diario.size() - 10));
    EXPECT_TRUE(RecuperaDiario(otra).contains(QStringLiteral("se deshizo")));
    EXPECT_EQ(Fotografia(otra), vieja);
}
