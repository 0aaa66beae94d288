#include "CorreoSendmail.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QStandardPaths>

namespace lorum {

namespace {

QByteArray EncabezadoCodificado(const QString& texto) {
    bool ascii = true;
    for (QChar c : texto) ascii = ascii && c.unicode() >= 0x20 && c.unicode() < 0x7F;
    if (ascii) return texto.toLatin1();
    return "=?UTF-8?B?" + texto.toUtf8().toBase64() + "?=";
}

QString Sendmail() {
    QString ruta = QStandardPaths::findExecutable(QStringLiteral("sendmail"));
    if (ruta.isEmpty())
        ruta = QStandardPaths::findExecutable(QStringLiteral("sendmail"),
                                              {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/lib")});
    return ruta;
}

}  // namespace

QByteArray MensajeCorreo(const QString& destinatario, const QString& asunto, const QString& cuerpo,
                         const QDateTime& fecha) {
    QByteArray m;
    // Header lines must not carry a line break a user could slip in.
    QString dest = destinatario;
    dest.remove(u'\r').remove(u'\n');
    QString tema = asunto;
    tema.replace(u'\r', u' ').replace(u'\n', u' ');
    m += "To: " + dest.toUtf8() + "\n";
    m += "Subject: " + EncabezadoCodificado(tema) + "\n";
    m += "Date: " + fecha.toString(Qt::RFC2822Date).toLatin1() + "\n";
    m += "MIME-Version: 1.0\n";
    m += "Content-Type: text/plain; charset=UTF-8\n";
    m += "Content-Transfer-Encoding: base64\n";
    m += "X-Mailer: LORUM 1.0.9\n\n";
    // Text lines end in CR LF inside a mail, whatever the user's editor gave.
    QString texto = cuerpo;
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(u'\r', u'\n')
        .replace(u'\n', QStringLiteral("\r\n"));
    const QByteArray b64 = texto.toUtf8().toBase64();
    for (qsizetype i = 0; i < b64.size(); i += 76) m += b64.mid(i, 76) + "\n";
    return m;
}

bool CorreoSendmail::Envia(const QString& destinatario, const QString& asunto, const QString& cuerpo,
                           QString* motivo) {
    const QString programa = Sendmail();
    if (programa.isEmpty()) {
        *motivo = QStringLiteral("este equipo no tiene un servicio de correo (sendmail)");
        return false;
    }
    QProcess p;
    QEventLoop bucle;
    QTimer plazo;
    plazo.setSingleShot(true);
    bool noArranco = false;
    QObject::connect(&p, &QProcess::finished, &bucle, &QEventLoop::quit);
    QObject::connect(&p, &QProcess::errorOccurred, &bucle, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            noArranco = true;
            bucle.quit();
        }
    });
    QObject::connect(&plazo, &QTimer::timeout, &bucle, &QEventLoop::quit);
    p.start(programa, {QStringLiteral("-t"), QStringLiteral("-oi")});
    p.write(MensajeCorreo(destinatario, asunto, cuerpo, QDateTime::currentDateTime()));
    p.closeWriteChannel();
    // The windows keep painting while the mail service works; keys and clicks wait for its end.
    plazo.start(limite_);
    if (!noArranco) bucle.exec(QEventLoop::ExcludeUserInputEvents);  // its signals come from this loop
    if (noArranco) {
        *motivo = QStringLiteral("no se pudo iniciar el servicio de correo (%1)").arg(p.errorString());
        return false;
    }
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished(1000);
        *motivo = QStringLiteral("el servicio de correo no respondió");
        return false;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        const QString error = QString::fromLocal8Bit(p.readAllStandardError()).trimmed().section(u'\n', 0, 0);
        *motivo = QStringLiteral("el servicio de correo respondió con un error (código %1%2)")
                      .arg(p.exitCode())
                      .arg(error.isEmpty() ? QString() : QStringLiteral(": ") + error);
        return false;
    }
    return true;
}

}  // namespace lorum
