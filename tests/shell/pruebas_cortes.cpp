// A real start-up and a loop of saves killed with SIGKILL at random moments, on a request of 10,000
// items: after each restart the applicant and the request are of the same save, and nothing stray.
#include "Auxiliares.h"
#include "Cursor.h"
#include "GeneradorDatos.h"
#include "OrigenDatos.h"
#include "TablasSolicitud.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>

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
        lorum.start(QStringLiteral(LORUM_AYUDANTE), {dir.path()});
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
        ::kill(pid_t(lorum.processId()), SIGKILL);
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
