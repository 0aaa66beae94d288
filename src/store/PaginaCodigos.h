#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace lorum {

// Code pages a table's text may be stored in; byte 29 of the header names it.
enum class PaginaCodigos { Cp437, Cp850, Cp1252 };

// The code page for a header mark, or nothing when the mark is 0 or unknown.
std::optional<PaginaCodigos> PaginaDeMarca(quint8 marca);
quint8 MarcaDePagina(PaginaCodigos pagina);
QString NombrePagina(PaginaCodigos pagina);

// Bytes to text; a byte the code page leaves undefined becomes U+FFFD.
QString Decodifica(const char* datos, qsizetype largo, PaginaCodigos pagina);

// Text to bytes, or nothing when a character cannot be stored (it is then written to *rechazado).
std::optional<QByteArray> Codifica(QStringView texto, PaginaCodigos pagina, QChar* rechazado = nullptr);

// Bytes in a Windows code page named by its number, as workbooks and RTF files name theirs, through
// the system's converters (PaginaSistema_posix.cpp, PaginaSistema_win.cpp); nothing when the system
// does not know the page. `completo` says whether every byte is defined in it.
std::optional<QString> DecodificaPaginaWindows(int pagina, QByteArrayView bytes, bool* completo = nullptr);

// Picks the likelier code page for a table whose header does not say (mark 0), from its text bytes.
PaginaCodigos AdivinaPagina(const QByteArray& muestra);

}  // namespace lorum
