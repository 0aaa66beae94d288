// A real start-up and a loop of saves killed (SIGKILL) at random moments, on a request of 10,000
// items: after each restart the applicant and the request are of the same save, and nothing stray.
#include "Auxiliares.h"
#include "Borrador.h"
#include "Cursor.h"
#include "GeneradorDatos.h"
#include "OrigenDatos.h"
#include "TablasSolicitud.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>

using namespace lorum;
using namespace lorum::prueba;

TEST(Cortes, GuardarMuertoConSigkillNuncaMezclaLaSolicitud) {
    QTemporaryDir dir;
    PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), dir.path());
    {
        Cursor m = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.6;"), tablas::kMercanci);
        std::vector<QByteArray> partidas;
        for (int i = 0; i < 10000; ++i) {
            m.AddNew();
            m.SetValor(u"PARTIDA", i + 1);
            m.SetValor(u"DESCRIP", QStringLiteral("PARTIDA %1").arg(i + 1));
            partidas.push_back(m.Pendiente());
        }
        m.AgregaVarios(partidas);
    }
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QStringList propios = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    QRandomGenerator azar(20261207);
    int muertosGuardando = 0, completados = 0;
    for (int ciclo = 0; ciclo < 24; ++ciclo) {
        QProcess lorum;
        lorum.setProcessEnvironment(entorno);
        lorum.start(QStringLiteral(LORUM_AYUDANTE), {dir.path()}, QIODevice::ReadWrite | QIODevice::Text);  // lines end in \n on Windows too
        ASSERT_TRUE(lorum.waitForStarted());
        // What the restart loaded: the turn of the applicant's record and of the request's.
        QByteArray salida;
        while (!salida.contains("guardado 1\n") && lorum.waitForReadyRead(20000)) salida += lorum.readAll();
        const qsizetype i = salida.indexOf("cargado ");
        ASSERT_GE(i, 0) << salida.constData();
        const QList<QByteArray> cargado = salida.mid(i + 8, salida.indexOf('\n', i) - i - 8).split('|');
        ASSERT_EQ(cargado.size(), 3);
        completados += salida.contains("mensaje El programa se cerró");
        EXPECT_EQ(cargado[0], cargado[1]) << "cycle " << ciclo << ": the applicant and the request of different saves";
        EXPECT_EQ(cargado[2], "10000") << "cycle " << ciclo;
        if (ciclo > 0) {
            EXPECT_TRUE(cargado[0].startsWith("VUELTA ")) << cargado[0].constData();
        }
        // Killed in the middle of the saves.
        QThread::msleep(azar.bounded(5, 120));
        lorum.kill();  // SIGKILL; TerminateProcess on Windows
        lorum.waitForFinished();
        muertosGuardando += lorum.readAll().count("guardado") > 0;
    }
    EXPECT_GT(muertosGuardando, 0);
    ::testing::Test::RecordProperty("guardados_completados_al_iniciar", completados);
    std::printf("%d of 24 restarts completed a cut save\n", completados);
    // A last start completes or undoes the last cut save and leaves nothing of the program's behind.
    QProcess ultimo;
    ultimo.setProcessEnvironment(entorno);
    ultimo.start(QStringLiteral(LORUM_AYUDANTE), {dir.path(), QStringLiteral("1")});
    ASSERT_TRUE(ultimo.waitForFinished(60000));
    EXPECT_EQ(ultimo.exitCode(), 0) << ultimo.readAllStandardError().constData();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), propios) << "no journal or temporary file left";
}

namespace {

struct Corrida {
    QByteArray salida;
    int codigo = -1;
};

// Runs the draft helper on a folder; with `hasta`, kills it with SIGKILL once it printed that.
Corrida CorreAyudante(const QString& datos, const char* respuesta, const char* hace, const QByteArray& hasta = {}) {
    QProcess p;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(entorno);
    p.start(QStringLiteral(LORUM_AYUDANTE_BORRADOR), {datos, QString::fromLatin1(respuesta), QString::fromLatin1(hace)},
            QIODevice::ReadWrite | QIODevice::Text);
    Corrida c;
    if (!p.waitForStarted()) return c;
    if (!hasta.isEmpty()) {
        while (!c.salida.contains(hasta) && p.waitForReadyRead(30000)) c.salida += p.readAllStandardOutput();
        p.kill();
    }
    p.waitForFinished(60000);
    c.salida += p.readAllStandardOutput();
    c.codigo = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return c;
}

// The fields the helper printed at start, by name.
std::map<QString, QString> Campos(const QByteArray& salida) {
    std::map<QString, QString> r;
    for (const QByteArray& linea : salida.split('\n'))
        if (const QList<QByteArray> p = linea.split(' '); p.size() == 3 && p[0] == "campo")
            r[TextoDePalabra(p[1])] = TextoDePalabra(p[2]);
    return r;
}

}  // namespace

TEST(Cortes, LoTecleadoSinGuardarVuelveTrasUnSigkillUnaSalidaYUnGuardadoRechazado) {
    const struct {
        const char* que;
        const char* hace;
        QByteArray hasta;  // killed there; empty: it ends on its own
    } casos[] = {
        {"killed while typing", "teclea", "borrador\n"},
        {"the exit dialog's No", "sale-no", {}},
        {"a refused save, then killed", "rechazada", "sigue\n"},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.que);
        QTemporaryDir dir;
        PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), dir.path());
        const QDir d(dir.path());
        // A first start makes the placeholder records; from then on only "Guardar" writes the tables.
        ASSERT_EQ(CorreAyudante(dir.path(), "no", "muestra").codigo, 0);
        std::map<QString, QByteArray> antes;
        for (const auto& t : tablas::TablasDeSolicitud()) antes[t.archivo] = LeeBytes(d.filePath(t.archivo));

        const Corrida tecleo = CorreAyudante(dir.path(), "no", caso.hace, caso.hasta);
        ASSERT_TRUE(tecleo.salida.contains("borrador\n")) << tecleo.salida.constData();
        ASSERT_TRUE(d.exists(Borrador::kArchivo));
        const auto tecleado = LeeBorrador(dir.path());
        ASSERT_TRUE(tecleado.has_value());

        // Offered back and taken: every field exactly as typed, the page too, and no table written.
        const Corrida si = CorreAyudante(dir.path(), "si", "muestra");
        EXPECT_EQ(si.codigo, 0);
        EXPECT_TRUE(si.salida.contains("mensaje Hay información capturada el ")) << si.salida.constData();
        EXPECT_TRUE(si.salida.contains("(RFC PEGJ800101AB1). ¿Desea recuperarla?|Confirmar")) << si.salida.constData();
        const std::map<QString, QString> esperados(tecleado->campos.begin(), tecleado->campos.end());
        EXPECT_EQ(Campos(si.salida), esperados);
        EXPECT_EQ(Campos(si.salida)[QStringLiteral("RFC de la Empresa")], QStringLiteral("PEGJ800101AB1"));
        EXPECT_TRUE(si.salida.contains("pagina 5\n"));
        for (const auto& [archivo, bytes] : antes) EXPECT_EQ(LeeBytes(d.filePath(archivo)), bytes) << archivo.toStdString();
        EXPECT_TRUE(d.exists(Borrador::kArchivo)) << "kept until it is saved or declined";

        if (QByteArray(caso.hace) == "sale-no") {
            // A whole request offered back is saved: the tables hold it and the draft is gone.
            const Corrida guarda = CorreAyudante(dir.path(), "si", "guarda");
            EXPECT_TRUE(guarda.salida.contains("guardado 1\n")) << guarda.salida.constData();
            EXPECT_FALSE(d.exists(Borrador::kArchivo));
            Cursor e = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.5;"), tablas::kEmpresas);
            e.MoveLast();
            EXPECT_EQ(e.Valor(u"RFC").toString(), QStringLiteral("PEGJ800101AB1"));
            EXPECT_FALSE(CorreAyudante(dir.path(), "si", "muestra").salida.contains("Hay información capturada"));
        } else {
            // Declined: gone, and never asked again.
            const Corrida no = CorreAyudante(dir.path(), "no", "muestra");
            EXPECT_TRUE(no.salida.contains("mensaje Hay información capturada")) << no.salida.constData();
            EXPECT_FALSE(d.exists(Borrador::kArchivo));
            EXPECT_FALSE(CorreAyudante(dir.path(), "si", "muestra").salida.contains("Hay información capturada"));
        }
        EXPECT_FALSE(d.exists(QStringLiteral(".lorum.borrador.lorum-temporal")));
    }
}
