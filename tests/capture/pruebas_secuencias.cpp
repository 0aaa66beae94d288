// Random sequences of what a user does with requests (type, save, start a new one keeping or
// dropping the applicant, add an item, restart the program) on the real form and real tables,
// checked after every step against a small model of what the tables and the form must hold.
#include "ArranquePrueba.h"
#include "ControlIntercambio.h"
#include "ControlChk.h"
#include "ControlesCatalogo.h"
#include "ControlesTexto.h"
#include "GeneradorDatos.h"
#include "Inicia.h"
#include "TablasSolicitud.h"
#include "Archivos.h"

#include <QTemporaryDir>
#include <random>

using namespace lorum;
using namespace lorum::prueba;

namespace {

using R = ServicioMensajes::Respuesta;

// Answers every question as the step asks and every notice with "Aceptar"; records the texts.
class MensajesDelPaso : public ServicioMensajes {
public:
    Respuesta Muestra(const QString& texto, const QString&, Botones botones, Icono) override {
        textos << texto;
        return botones == Botones::Aceptar ? Respuesta::Aceptar : respuesta;
    }
    QStringList textos;
    Respuesta respuesta = Respuesta::No;
};

struct Fila {
    QString valor;  // the RFC of an applicant, the justification of a request
    bool completa;  // written by a complete save (not a start-up placeholder)
};

// What the four tables and the form must hold.
struct Modelo {
    std::vector<Fila> empresas, solicitudes;
    int empresaActual = -1, solicitudActual = -1;  // live index, -1 without a current record
    int partidas = 0;
    int nLimpiezas = 0, nGuardados = 0;
    QString rfc, just;  // on screen
    bool completo = false;
};

enum class Paso { Llena, Incompleta, Partida, Guarda, LimpiaSi, LimpiaNo, Reinicia };
const char* const kNombres[] = {"Llena", "Incompleta", "Partida", "Guarda", "LimpiaSi", "LimpiaNo", "Reinicia"};
const char* const kRfcs[] = {"PEGJ800101AB1", "ROCA900202XY9", "LOMA751231QW3"};
const QString kFox = QStringLiteral("FoxPro 2.5;");

class Secuencias : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), dir.path());
    }

    void Arranca(Modelo& m) {
        inicia.reset();
        inicia = std::make_unique<Inicia>(mensajes, sonido);
        // What was typed and not saved is offered back; the model's restart declines it.
        const R respuesta = std::exchange(mensajes.respuesta, R::No);
        ASSERT_TRUE(inicia->Main(dir.path()));
        inicia->ventana()->intercambio()->MuestraUnidades = [](const std::vector<MedioExtraible>&, const QString&) { return QString(); };
        mensajes.respuesta = respuesta;
        inicia->bienvenida()->hide();
        if (m.empresas.empty()) m.empresas.push_back({QStringLiteral("RFC"), false});
        if (m.solicitudes.empty()) m.solicitudes.push_back({QString(), false});
        m.empresaActual = int(m.empresas.size()) - 1;
        m.solicitudActual = int(m.solicitudes.size()) - 1;
        m.nLimpiezas = m.nGuardados = 0;
        m.rfc = m.empresas.back().valor;
        m.just = m.solicitudes.back().valor;
        m.completo = m.empresas.back().completa && m.solicitudes.back().completa;
    }

    // Runs one step on the program and on the model; what the model expects of the messages.
    void Da(Paso p, Modelo& m, std::mt19937& azar, int numero) {
        Captura& f = *inicia->ventana()->captura();
        mensajes.textos.clear();
        QStringList esperados;
        switch (p) {
            case Paso::Llena: {
                m.rfc = QString::fromLatin1(kRfcs[azar() % 3]);
                m.just = QStringLiteral("J%1").arg(numero);
                m.completo = true;
                LlenaSolicitud(f, m.rfc);
                f.TxtMlJust->setDatoTxt(m.just);
                break;
            }
            case Paso::Incompleta:
                f.TxtCalle->setDatoTxt(QString());
                m.completo = false;
                break;
            case Paso::Partida: {
                Cursor c = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.6;"), QStringLiteral("mercanci"));
                c.AddNew();
                c.SetValor(u"PARTIDA", numero);
                c.Update();
                ++m.partidas;
                break;
            }
            case Paso::Guarda:
                inicia->ventana()->Accion(QStringLiteral("mnuFuncGuardar"))->trigger();
                if (!m.completo) {
                    esperados << QStringLiteral("La siguiente información es requerida: ");
                    break;
                }
                ++m.nGuardados;
                if (m.nLimpiezas == 0) {
                    m.empresas[size_t(m.empresaActual)] = {m.rfc, true};
                    m.solicitudes[size_t(m.solicitudActual)] = {m.just, true};
                    esperados << QStringLiteral("Se ha guardado la información correctamente");
                } else {
                    m.empresas.push_back({m.rfc, true});
                    m.solicitudes.push_back({m.just, true});
                    m.empresaActual = int(m.empresas.size()) - 1;
                    m.solicitudActual = int(m.solicitudes.size()) - 1;
                    esperados << QStringLiteral("Se ha guardado la información correctamente, debera importarlo a la unidad A:");
                }
                break;
            case Paso::LimpiaSi:
            case Paso::LimpiaNo: {
                const bool conserva = p == Paso::LimpiaSi;
                mensajes.respuesta = conserva ? R::Si : R::No;
                inicia->ventana()->Opera(QStringLiteral("LimpiaInformacion"));
                if (m.empresaActual >= 0) {
                    esperados << QStringLiteral("¿Desea conservar los datos generales?");
                    m.partidas = 0;
                    m.just.clear();
                    m.completo = false;
                    if (conserva) {
                        if (m.solicitudActual >= 0) m.solicitudes.erase(m.solicitudes.begin() + m.solicitudActual);
                    } else {
                        m.empresas.clear();
                        m.solicitudes.clear();
                        m.rfc.clear();
                    }
                    m.solicitudActual = -1;
                }
                m.empresaActual = m.empresas.empty() ? -1 : 0;  // the applicant source is read anew
                ++m.nLimpiezas;
                break;
            }
            case Paso::Reinicia:
                Arranca(m);
                esperados = mensajes.textos;  // the RFC check of a placeholder, if any
                break;
        }
        EXPECT_EQ(mensajes.textos.size(), esperados.size()) << mensajes.textos.join(" | ").toStdString();
        for (qsizetype i = 0; i < std::min(esperados.size(), mensajes.textos.size()); ++i)
            EXPECT_TRUE(mensajes.textos[i].startsWith(esperados[i])) << mensajes.textos[i].toStdString();
    }

    // The tables and the form against the model.
    void Compara(const Modelo& m) {
        auto vivos = [&](const char* tabla, const char16_t* campo) {
            QStringList v;
            for (Cursor c = AbreCursor(dir.path(), kFox, QString::fromLatin1(tabla)); !c.Eof(); c.MoveNext())
                v << c.Valor(QStringView(campo)).toString();
            return v;
        };
        auto valores = [](const std::vector<Fila>& filas) {
            QStringList v;
            for (const Fila& f : filas) v << f.valor;
            return v;
        };
        Captura& f = *inicia->ventana()->captura();
        EXPECT_EQ(vivos("empresas", u"RFC"), valores(m.empresas));
        EXPECT_EQ(vivos("lorums", u"JUST"), valores(m.solicitudes));
        EXPECT_EQ(AbreCursor(dir.path(), kFox, QStringLiteral("mercanci")).RecordCount(), m.partidas);
        EXPECT_EQ(f.dtsPrincipal.Registros().AbsolutePosition(), m.empresaActual);
        EXPECT_EQ(f.dtsSolicitud.Registros().AbsolutePosition(), m.solicitudActual);
        EXPECT_EQ(f.dfRFC->Text(), m.rfc);
        EXPECT_EQ(f.TxtMlJust->Text(), m.just);
        EXPECT_EQ(f.nLimpiezas, m.nLimpiezas);
        EXPECT_EQ(f.nGuardados, m.nGuardados);
    }

    QTemporaryDir dir;
    MensajesDelPaso mensajes;
    SonidoFalso sonido;
    std::unique_ptr<Inicia> inicia;
};

}  // namespace

TEST_F(Secuencias, ElModeloYLasTablasCoincidenTrasCadaPaso) {
    // Restarts are rarer than the rest: each costs a whole start-up.
    std::discrete_distribution<int> elige({5, 1, 2, 4, 3, 2, 1});
    const int kSecuencias = 120;
    const int kPasos = 8;
    for (int s = 0; s < kSecuencias; ++s) {
        // Each sequence starts from empty tables and a fresh start-up, with its own seed.
        inicia.reset();
        for (const auto& t : tablas::TablasDeSolicitud())
            ASSERT_TRUE(CopiaTabla(dir.filePath(t.plantilla), dir.filePath(t.archivo)).ok);
        std::mt19937 azar(20261206u + unsigned(s));
        Modelo m;
        Arranca(m);
        QStringList hechos;
        for (int i = 0; i < kPasos; ++i) {
            const Paso p = Paso(elige(azar));
            hechos << QString::fromLatin1(kNombres[int(p)]);
            try {
                Da(p, m, azar, i);
                Compara(m);
            } catch (const std::exception& e) {
                ADD_FAILURE() << e.what();
            }
            if (::testing::Test::HasFailure()) {
                ADD_FAILURE() << "secuencia " << s << ", tras los pasos: " << hechos.join(QStringLiteral(", ")).toStdString();
                return;
            }
        }
    }
}
