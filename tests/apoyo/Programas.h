#pragma once

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace lorum::prueba {

// A command's standard output, or nothing when it is not there or fails (pdftotext, pdfinfo). Under
// Wine the machine's own tools are started from where Debian installs them.
inline QString Corre(const QString& programa, const QStringList& argumentos) {
    QProcess p;
    const QString debian = QStringLiteral("/usr/bin/") + programa;
    p.start(QStandardPaths::findExecutable(programa).isEmpty() && QFileInfo::exists(debian) ? debian : programa, argumentos);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace lorum::prueba
