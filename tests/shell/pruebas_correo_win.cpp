// Windows's mail service through a stand-in Simple MAPI library.
#include "CorreoMapi.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace lorum;

TEST(CorreoMapi, ElProgramaDeCorreoRecibeElMensajeOSeDiceQueNo) {
    QTemporaryDir dir;
    const QString salida = dir.filePath(QStringLiteral("mensaje.txt"));
    qputenv("LORUM_MAPI_SALIDA", salida.toUtf8());
    const QString cuerpo = QStringLiteral("Línea uno con ñ y €\nLínea dos\r\nfin");
    const struct {
        const char* caso;
        QString biblioteca;
        bool registrado;
        const char* respuesta;
        bool enviado;
        QString motivo;
    } casos[] = {
        {"sent", QStringLiteral(LORUM_SUSTITUTO_MAPI), true, "0", true, {}},
        {"cancelled in the mail program", QStringLiteral(LORUM_SUSTITUTO_MAPI), true, "1", false,
         QStringLiteral("se canceló el envío en el programa de correo")},
        {"an address refused", QStringLiteral(LORUM_SUSTITUTO_MAPI), true, "14", false,
         QStringLiteral("el programa de correo no aceptó la dirección")},
        {"another error", QStringLiteral(LORUM_SUSTITUTO_MAPI), true, "2", false,
         QStringLiteral("el programa de correo respondió con el error 2")},
        {"no mail program named", QStringLiteral(LORUM_SUSTITUTO_MAPI), false, "0", false,
         QStringLiteral("este equipo no tiene un servicio de correo (MAPI)")},
        {"no library", dir.filePath(QStringLiteral("no-hay.dll")), true, "0", false,
         QStringLiteral("este equipo no tiene un servicio de correo (MAPI)")},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        QFile::remove(salida);
        qputenv("LORUM_MAPI_RESPUESTA", c.respuesta);
        CorreoMapi correo(c.biblioteca, [&] { return c.registrado; });
        QString motivo;
        bool atendido = false;  // the event loop runs while the mail program works
        QTimer::singleShot(0, [&] { atendido = true; });
        EXPECT_EQ(correo.Envia(QStringLiteral("comentarios@lorum.example"), QStringLiteral("Comentarios sobre el disco\nde captura"),
                               cuerpo, &motivo),
                  c.enviado);
        EXPECT_EQ(motivo, c.motivo);
        if (c.motivo.startsWith(QStringLiteral("este equipo"))) {
            EXPECT_FALSE(QFile::exists(salida)) << "the library was not called";
            continue;
        }
        EXPECT_TRUE(atendido);
        QFile f(salida);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(f.readAll()),
                  QStringLiteral("banderas 0\ndestinatarios 1\npara 1 comentarios@lorum.example <SMTP:comentarios@lorum.example>\n"
                                 "asunto Comentarios sobre el disco de captura\nLínea uno con ñ y €\r\nLínea dos\r\nfin"));
    }
}
