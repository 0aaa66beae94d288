// Importing a workbook of items into an empty item table: bench_importa --libro PATH (make one of each
// format with bench/libro-grande.py PATH 10000). "pico_MB" is how much the process's peak memory grew
// over the first import.
#include "Archivos.h"
#include "GeneradorDatos.h"
#include "Importacion.h"
#include "Intercambio.h"
#include "OrigenDatos.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>
#include <sys/resource.h>

namespace {

using namespace lorum;

QString& libro() {
    static QString l;
    return l;
}

QString ComoMercancia() { return QStringLiteral("mercancia.") + QFileInfo(libro()).suffix().toLower(); }

long PicoKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void BM_ImportarLibro(benchmark::State& estado) {
    QTemporaryDir dir;
    PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), dir.path());
    QFile::copy(libro(), dir.filePath(ComoMercancia()));
    int agregadas = 0;
    const long antes = PicoKb();
    for (auto _ : estado) {
        estado.PauseTiming();
        CopiaTabla(dir.filePath(QStringLiteral("Omercanci.dbf")), dir.filePath(QStringLiteral("mercanci.dbf")));
        Cursor m = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.6;"), QStringLiteral("mercanci"));
        OrigenDatos hoja;
        estado.ResumeTiming();
        const ResultadoImportacion r = ImportaMercancias(hoja, m, dir.path());
        if (!r.ok) estado.SkipWithError(r.mensaje.toStdString().c_str());
        agregadas = r.agregadas;
    }
    estado.counters["partidas"] = agregadas;
    estado.counters["pico_MB"] = double(PicoKb() - antes) / 1024;
}
BENCHMARK(BM_ImportarLibro)->Unit(benchmark::kMillisecond);

// The workbook reader alone, on the bytes of the file.
void BM_LeerLibro(benchmark::State& estado) {
    QFile f(libro());
    if (!f.open(QIODevice::ReadOnly)) estado.SkipWithError("libro");
    const QByteArray bytes = f.readAll();
    for (auto _ : estado) benchmark::DoNotOptimize(LeeLibro(bytes).hojas.size());
}
BENCHMARK(BM_LeerLibro)->Unit(benchmark::kMillisecond);

// Delivery of a request with the workbook's items to a folder, and its recovery back (with the
// checks of every table on the medium). Each copy is flushed to the disk, so the figure depends on it.
void BM_EntregarYRecuperar(benchmark::State& estado) {
    QTemporaryDir dir, unidad;
    PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), dir.path());
    QFile::copy(libro(), dir.filePath(ComoMercancia()));
    Cursor m = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.6;"), QStringLiteral("mercanci"));
    OrigenDatos hoja;
    ImportaMercancias(hoja, m, dir.path());
    for (auto _ : estado) {
        if (!EntregaTablas(dir.path(), unidad.path(), TablasDeEntrega()).ok) estado.SkipWithError("entrega");
        if (RevisaUnidad(unidad.path(), TablasDeEntrega()).estado != EstadoUnidad::Lista) estado.SkipWithError("revisión");
        if (!ReemplazaTablas(unidad.path(), dir.path(), TablasDeEntrega()).ok) estado.SkipWithError("recuperación");
    }
}
BENCHMARK(BM_EntregarYRecuperar)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--libro") == 0) libro() = QString::fromLocal8Bit(argv[i + 1]);
    if (libro().isEmpty()) {
        std::fprintf(stderr, "uso: bench_importa --libro RUTA (.xls, .xlsx, .ods o .csv)\n");
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
