#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace lorum::prueba {

// A command's standard output, or nothing when it is not there or fails (pdftotext, pdfinfo).
inline QString Corre(const QString& programa, const QStringList& argumentos) {
    QProcess p;
    p.start(programa, argumentos);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace lorum::prueba
