// No registry here: the program's own report stands in for the system information tool.
#include "InformeSistema.h"

namespace lorum {

std::optional<QString> GetKeyValue(const QString&, const QString&) { return std::nullopt; }

bool InformePropio() { return true; }

}  // namespace lorum
