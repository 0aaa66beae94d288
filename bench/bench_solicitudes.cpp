// The list of saved requests with 50 folders: reading each folder's four tables and building the
// window, as "Abrir solicitud guardada..." does before it shows.
#include "Archivos.h"
#include "Cursor.h"
#include "DlgSolicitudes.h"
#include "GeneradorDatos.h"
#include "OrigenDatos.h"
#include "TablasSolicitud.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

namespace {

using namespace lorum;

void BM_CincuentaSolicitudesGuardadas(benchmark::State& estado) {
    QTemporaryDir datos, copias;
    PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), datos.path());
    {
        Cursor e = AbreCursor(datos.path(), QStringLiteral("FoxPro 2.5;"), tablas::kEmpresas);
        e.AddNew();
        e.SetValor(u"RFC", QStringLiteral("PEGJ800101AB1"));
        e.SetValor(u"NOMBRE", QStringLiteral("JOSÉ"));
        e.Update();
        Cursor m = AbreCursor(datos.path(), QStringLiteral("FoxPro 2.6;"), tablas::kMercanci);
        for (int i = 0; i < 20; ++i) {
            m.AddNew();
            m.SetValor(u"PARTIDA", i + 1);
            m.Update();
        }
    }
    for (int i = 0; i < 50; ++i) {
        const QString carpeta = QDir(copias.path()).filePath(QStringLiteral("Cliente %1").arg(i));
        QDir().mkpath(carpeta);
        for (const auto& t : tablas::TablasDeSolicitud()) CopiaTabla(QDir(datos.path()).filePath(t.archivo), QDir(carpeta).filePath(t.archivo));
    }
    for (auto _ : estado) {
        DlgSolicitudes d(copias.path(), datos.path(), nullptr);
        if (d.lista->topLevelItemCount() != 50) estado.SkipWithError("no se listaron las 50");
    }
}
BENCHMARK(BM_CincuentaSolicitudesGuardadas)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
