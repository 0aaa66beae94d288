// Table engine benchmarks. Also: bench_tabla --crea-mercancias RUTA N writes an item table of N
// records, for comparing lorum-tabla with other readers (bench/compara-csv.sh).
#include "Cursor.h"
#include "Diario.h"
#include "ExportaCsv.h"
#include "TablaDbf.h"
#include "TablasSolicitud.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>

namespace {

using namespace lorum;

void CreaMercancias(const QString& ruta, int n) {
    TablaDbf::Crea(ruta, tablas::Mercanci());
    auto tabla = TablaDbf::Abre(ruta);
    Cursor c(tabla);
    for (int i = 0; i < n; ++i) {
        c.AddNew();
        c.SetValor(0, 0);
        c.SetValor(1, i % 100000 + 1);
        c.SetValor(3, QStringLiteral("%1").arg(10000000 + i % 89999999));
        c.SetValor(4, QStringLiteral("MERCANCÍA NÚMERO %1, DE AÑO Y PIEZA").arg(i));
        c.SetValor(5, i % 21 + 1);
        c.SetValor(6, QStringLiteral("KILO"));
        c.SetValor(7, 3.0 + i % 7);
        c.SetValor(8, 10.0 / (3.0 + i % 7));
        c.SetValor(9, 10.0);
        c.Update();
    }
}

struct Fijo {
    QTemporaryDir dir;
    QString ruta;
    Fijo() : ruta(dir.filePath(QStringLiteral("mercanci.dbf"))) { CreaMercancias(ruta, 100000); }
};

Fijo& Mercancias() {
    static Fijo f;
    return f;
}

void BM_RecorreCienMilPartidas(benchmark::State& estado) {
    Cursor c(TablaDbf::Abre(Mercancias().ruta));
    for (auto _ : estado) {
        qint64 n = 0;
        for (c.MoveFirst(); !c.Eof(); c.MoveNext()) {
            for (int i = 0; i < c.NumCampos(); ++i) benchmark::DoNotOptimize(c.Valor(i));
            ++n;
        }
        estado.counters["registros"] = double(n);
    }
}
BENCHMARK(BM_RecorreCienMilPartidas)->Unit(benchmark::kMillisecond);

void BM_AgregaDiezMilPartidas(benchmark::State& estado) {
    QTemporaryDir dir;
    for (auto _ : estado) {
        estado.PauseTiming();
        const QString ruta = dir.filePath(QStringLiteral("agrega.dbf"));
        TablaDbf::Crea(ruta, tablas::Mercanci());
        Cursor c(TablaDbf::Abre(ruta));
        estado.ResumeTiming();
        for (int i = 0; i < 10000; ++i) {
            c.AddNew();
            c.SetValor(1, i + 1);
            c.SetValor(3, QStringLiteral("01011001"));
            c.SetValor(4, QStringLiteral("CABALLOS DE RAZA PURA"));
            c.SetValor(7, 3.0);
            c.SetValor(9, 10.0);
            c.Update();
        }
    }
}
BENCHMARK(BM_AgregaDiezMilPartidas)->Unit(benchmark::kMillisecond);

void BM_CsvCienMilPartidas(benchmark::State& estado) {
    const QString ruta = Mercancias().ruta;
    std::FILE* nulo = std::fopen("/dev/null", "w");
    for (auto _ : estado) {
        LectorDbf lector(ruta);
        ExportaCsv(lector, false, nulo);
    }
    std::fclose(nulo);
}
BENCHMARK(BM_CsvCienMilPartidas)->Unit(benchmark::kMillisecond);
// "Guardar" at the engine: the applicant's and the request's records rewritten and flushed, with the
// journal that makes them one step (arg 1) and without it (arg 0).
void BM_GuardaSolicitud(benchmark::State& estado) {
    QTemporaryDir dir;
    for (const auto& t : tablas::TablasDeSolicitud()) TablaDbf::Crea(dir.filePath(t.archivo), *t.definicion);
    Cursor e(TablaDbf::Abre(dir.filePath(tablas::kEmpresas)));
    Cursor s(TablaDbf::Abre(dir.filePath(tablas::kLorums)));
    for (Cursor* c : {&e, &s}) {
        c->AddNew();
        c->Update();
        c->MoveFirst();
    }
    int vuelta = 0;
    for (auto _ : estado) {
        e.Edit();
        e.SetValor(u"NOMBRE", QStringLiteral("VUELTA %1").arg(++vuelta));
        s.Edit();
        s.SetValor(u"JUST", QStringLiteral("VUELTA %1").arg(vuelta));
        if (estado.range(0)) {
            CambioDeTablas cambio(dir.path(), QStringLiteral("Guardar"));
            cambio.Escribe(e);
            cambio.Escribe(s);
            cambio.Confirma();
        } else {
            e.Update();
            s.Update();
            e.Asegura();
            s.Asegura();
        }
    }
}
BENCHMARK(BM_GuardaSolicitud)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--crea-mercancias") == 0) {
        CreaMercancias(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
