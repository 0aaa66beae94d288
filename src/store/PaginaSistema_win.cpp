#include "PaginaCodigos.h"

#include <windows.h>

namespace lorum {

std::optional<QString> DecodificaPaginaWindows(int pagina, QByteArrayView bytes, bool* completo) {
    CPINFO info;
    if (!::GetCPInfo(UINT(pagina), &info)) return std::nullopt;
    if (completo) *completo = true;
    if (bytes.isEmpty()) return QString();
    const int n = int(qMin<qsizetype>(bytes.size(), 0x7fffffff));
    int largo = ::MultiByteToWideChar(UINT(pagina), MB_ERR_INVALID_CHARS, bytes.data(), n, nullptr, 0);
    DWORD estricto = MB_ERR_INVALID_CHARS;
    if (largo <= 0) {  // a byte the page leaves undefined: the system's replacement in its place
        if (completo) *completo = false;
        estricto = 0;
        largo = ::MultiByteToWideChar(UINT(pagina), 0, bytes.data(), n, nullptr, 0);
        if (largo <= 0) return std::nullopt;
    }
    QString texto(largo, Qt::Uninitialized);
    ::MultiByteToWideChar(UINT(pagina), estricto, bytes.data(), n, reinterpret_cast<wchar_t*>(texto.data()), largo);
    return texto;
}

}  // namespace lorum
