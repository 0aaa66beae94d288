// The RTF reader on a large document: the shipped filling instructions repeated to about 2 MB.
#include "LectorRtf.h"

#include <QFile>
#include <benchmark/benchmark.h>

namespace {

QByteArray Grande(const QByteArray& pagina = "1252") {
    QFile f(QStringLiteral(LORUM_DIR_DATOS "/considera.rtf"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray todo = f.readAll().replace("\\ansicpg1252", "\\ansicpg" + pagina);
    // The body between the font table's group and the closing brace, repeated inside one document.
    const qsizetype inicio = todo.indexOf("\\viewkind4"), fin = todo.lastIndexOf('}');
    return todo.left(inicio) + todo.mid(inicio, fin - inicio).repeated(400) + "}";
}

void BM_LeeRtfDosMegas(benchmark::State& estado) {
    const QByteArray rtf = Grande();
    qsizetype parrafos = 0;
    for (auto _ : estado) parrafos = lorum::LeeRtf(rtf).parrafos.size();
    estado.counters["parrafos"] = double(parrafos);
    estado.SetBytesProcessed(int64_t(estado.iterations()) * rtf.size());
}
BENCHMARK(BM_LeeRtfDosMegas)->Unit(benchmark::kMillisecond);

// The same in a code page Qt decodes through ICU (Cyrillic, 1251).
void BM_LeeRtfDosMegas1251(benchmark::State& estado) {
    const QByteArray rtf = Grande("1251");
    for (auto _ : estado) benchmark::DoNotOptimize(lorum::LeeRtf(rtf).parrafos.size());
    estado.SetBytesProcessed(int64_t(estado.iterations()) * rtf.size());
}
BENCHMARK(BM_LeeRtfDosMegas1251)->Unit(benchmark::kMillisecond);

// A font-table entry of about 1.3 MB broken by control words every few letters: linear, like text.
void BM_LeeRtfFuenteLarga(benchmark::State& estado) {
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 " + QByteArray("Arial\\b ").repeated(150000) + ";}}\\f0 Hola\\par}";
    for (auto _ : estado) benchmark::DoNotOptimize(lorum::LeeRtf(rtf).parrafos.size());
    estado.SetBytesProcessed(int64_t(estado.iterations()) * rtf.size());
}
BENCHMARK(BM_LeeRtfFuenteLarga)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
