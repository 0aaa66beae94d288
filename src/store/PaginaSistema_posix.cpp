#include "PaginaCodigos.h"

#include <QStringDecoder>
#include <optional>

namespace lorum {

namespace {

// ICU's names for the Windows code page numbers.
QByteArray NombreIcu(int pagina) {
    switch (pagina) {
        case 20127: return "US-ASCII";
        case 10000: return "macintosh";
        case 65001: return "UTF-8";
        default: break;
    }
    if (pagina >= 437 && pagina < 1000) return "IBM" + QByteArray::number(pagina);
    return "windows-" + QByteArray::number(pagina);
}

}  // namespace

std::optional<QString> DecodificaPaginaWindows(int pagina, QByteArrayView bytes, bool* completo) {
    // One converter kept per thread: a workbook decodes every string in the same page.
    thread_local int ultima = -1;
    thread_local std::optional<QStringDecoder> d;
    if (pagina != ultima) {
        d.emplace(NombreIcu(pagina).constData(), QStringDecoder::Flag::Stateless);
        if (!d->isValid()) d.emplace(QByteArray("cp" + QByteArray::number(pagina)).constData(), QStringDecoder::Flag::Stateless);
        ultima = pagina;
    }
    if (!d->isValid()) return std::nullopt;
    d->resetState();
    QString texto = d->decode(bytes);
    if (completo) *completo = !d->hasError();
    return texto;
}

}  // namespace lorum
