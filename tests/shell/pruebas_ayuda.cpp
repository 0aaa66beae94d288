// The help menu opens its windows without blocking the main window, and the comments go out through
// the machine's sendmail (a fake one on PATH records what it was given).
#include "ArranquePrueba.h"
#include "Auxiliares.h"
#include "CorreoSendmail.h"
#include "DlgMail.h"
#include "frmAbout.h"
#include "frmayuda.h"

#include <QDir>
#include <QTimer>
#include <QFile>
#include <QPointer>
#include <QTest>
#include <QTextEdit>

using namespace lorum;
using namespace lorum::prueba;

namespace {

class VentanasAyuda : public Arranque {};

template <class T>
QList<T*> Abiertas() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QList<T*> v;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) v << t;
    return v;
}

}  // namespace

TEST_F(VentanasAyuda, SeAbrenSinBloquearYUnaVezCadaUna) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(LORUM_DIR_DATOS "/considera.rtf"),
                            dir.filePath(QStringLiteral("considera.rtf"))));
    ASSERT_TRUE(Arranca());
    PrestaTeclado();
    mensajes.mostrados.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    ASSERT_EQ(Abiertas<frmayuda>().size(), 1);
    frmayuda* primera = Abiertas<frmayuda>()[0];
    EXPECT_TRUE(
        primera->RTUltima->toPlainText().startsWith(QStringLiteral("Consideraciones para el llenado")));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the main window stays usable";
    Ventana().Accion(QStringLiteral("Considera"))->trigger();
    EXPECT_EQ(Abiertas<frmayuda>(), QList<frmayuda*>{primera})
        << "asked again, the open window comes forward";
    const QPointer<frmayuda> vigia(primera);
    QTest::keyClick(primera, Qt::Key_Escape);
    EXPECT_TRUE(Abiertas<frmayuda>().isEmpty());
    EXPECT_TRUE(vigia.isNull()) << "closed is destroyed";
    Ventana().Accion(QStringLiteral("mnuAyuConsidera"))->trigger();
    EXPECT_EQ(Abiertas<frmayuda>().size(), 1) << "and made anew";

    Ventana().Accion(QStringLiteral("mnuAyuAcerca"))->trigger();
    Ventana().Accion(QStringLiteral("mnuAyuComent"))->trigger();
    EXPECT_EQ(Abiertas<frmAbout>().size(), 1);
    EXPECT_EQ(Abiertas<DlgMail>().size(), 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(mensajes.mostrados.empty());
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<frmayuda*>(w) || qobject_cast<frmAbout*>(w) || qobject_cast<DlgMail*>(w)) w->close();
}

TEST(Correo, SendmailRecibeElMensajeOSeDiceQueNo) {
    if (!kPosix) GTEST_SKIP() << "sendmail is a POSIX service; Windows sends through MAPI";
    QTemporaryDir dir;
    const QString bin = dir.filePath(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    {
        QFile s(bin + QStringLiteral("/sendmail"));
        ASSERT_TRUE(s.open(QIODevice::WriteOnly));
        s.write(
            "#!/bin/sh\n"
            "printf '%s\\n' \"$*\" > \"$LORUM_CORREO/argumentos\"\n"
            "/bin/cat > \"$LORUM_CORREO/mensaje\"\n"
            "/bin/sleep \"${LORUM_ESPERA:-0}\"\n"
            "[ \"${LORUM_SALIDA:-0}\" = 0 ] || echo 'cola llena' >&2\n"
            "exit \"${LORUM_SALIDA:-0}\"\n");
        s.setPermissions(s.permissions() | QFileDevice::ExeOwner);
    }
    const QByteArray ruta = qgetenv("PATH");
    qputenv("LORUM_CORREO", dir.path().toUtf8());
    const QString cuerpo = QStringLiteral("Línea uno\nLínea «dos» con € y ñ\n\núltima");
    const struct {
        const char* path;
        const char* salida;
        bool enviado;
        const char* motivo;
        const char* espera = "0";
        int limite = 60000;
    } casos[] = {{"bin", "0", true, ""},
                 {"bin", "75", false, "el servicio de correo respondió con un error (código 75: cola llena)"},
                 {"vacio", "0", false, "este equipo no tiene un servicio de correo (sendmail)"},
                 {"bin", "0", true, "", "1"},
                 {"bin", "0", false, "el servicio de correo no respondió", "5", 400}};
    for (const auto& c : casos) {
        if (!c.enviado && QLatin1String(c.path) == QLatin1String("vacio") &&
            (QFile::exists(QStringLiteral("/usr/sbin/sendmail")) ||
             QFile::exists(QStringLiteral("/usr/lib/sendmail"))))
            continue;  // this machine has a real one
        qputenv("PATH", dir.filePath(QLatin1String(c.path)).toUtf8());
        qputenv("LORUM_SALIDA", c.salida);
        qputenv("LORUM_ESPERA", c.espera);
        QFile::remove(dir.filePath(QStringLiteral("mensaje")));
        CorreoSendmail correo(c.limite);
        QString motivo;
        // The program goes on painting while sendmail works: a timer of the event loop fires.
        bool atendido = false;
        QTimer::singleShot(200, [&] { atendido = true; });
        EXPECT_EQ(
            correo.Envia(QStringLiteral("comentarios@lorum.example"),
                         QStringLiteral("Comentarios sobre el disco de captura LORUM"), cuerpo, &motivo),
            c.enviado);
        EXPECT_EQ(motivo, QString::fromUtf8(c.motivo));
        if (QByteArray(c.espera) != "0") {
            EXPECT_TRUE(atendido) << "the event loop ran during the send";
        }
        if (!c.enviado) continue;
        QFile a(dir.filePath(QStringLiteral("argumentos"))), m(dir.filePath(QStringLiteral("mensaje")));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && m.open(QIODevice::ReadOnly));
        EXPECT_EQ(a.readAll(), QByteArray("-t -oi\n"));
        const QByteArray mensaje = m.readAll();
        const qsizetype fin = mensaje.indexOf("\n\n");
        ASSERT_GT(fin, 0);
        const QList<QByteArray> encabezados = mensaje.left(fin).split('\n');
        for (const char* e : {"To: comentarios@lorum.example",
                              "Subject: Comentarios sobre el disco de captura LORUM", "MIME-Version: 1.0",
                              "Content-Type: text/plain; charset=UTF-8", "Content-Transfer-Encoding: base64"})
            EXPECT_TRUE(encabezados.contains(QByteArray(e))) << e;
        QByteArray b64 = mensaje.mid(fin + 2);
        for (const QByteArray& l : b64.split('\n')) EXPECT_LE(l.size(), 76);
        EXPECT_EQ(QString::fromUtf8(QByteArray::fromBase64(b64.replace('\n', ""))),
                  QString(cuerpo).replace(u'\n', QStringLiteral("\r\n")));
    }
    qputenv("PATH", ruta);

    // A subject beyond ASCII is encoded; a line break slipped into a header does not start another.
    const QByteArray m = MensajeCorreo(QStringLiteral("a@b.example\nBcc: c@d.example"), QStringLiteral("Año"),
                                       QString(), QDateTime::currentDateTime());
    EXPECT_TRUE(m.contains("\nSubject: =?UTF-8?B?" + QStringLiteral("Año").toUtf8().toBase64() + "?=\n"));
    EXPECT_TRUE(m.startsWith("To: a@b.exampleBcc: c@d.example\n"));
}
