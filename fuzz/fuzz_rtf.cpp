// libFuzzer target: any bytes as an RTF file must read into some text without a crash, a hang or
// undefined behaviour, and the text must never hold the characters a paragraph cannot.
#include "LectorRtf.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    const QByteArray rtf = QByteArray::fromRawData(reinterpret_cast<const char*>(datos), qsizetype(tamano));
    const lorum::DocumentoRtf doc = lorum::LeeRtf(rtf);
    for (const lorum::ParrafoRtf& p : doc.parrafos)
        for (const lorum::TramoRtf& t : p.tramos)
            if (t.texto.contains(u'\n') || t.texto.contains(u'\r') || t.medioPuntos < 2) std::abort();
    (void)lorum::TextoPlano(doc);
    return 0;
}
