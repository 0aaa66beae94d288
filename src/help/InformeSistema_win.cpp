// The registry that names the system information tool.
#include "InformeSistema.h"

#include <QSettings>

namespace lorum {

std::optional<QString> GetKeyValue(const QString& clave, const QString& valor) {
    QSettings registro(QStringLiteral("HKEY_LOCAL_MACHINE\\") + clave, QSettings::NativeFormat);
    const QVariant v = registro.value(valor);
    if (!v.isValid()) return std::nullopt;
    return v.toString();
}

bool InformePropio() { return false; }

}  // namespace lorum
