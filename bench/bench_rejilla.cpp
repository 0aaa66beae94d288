// The item grid with 10,000 items: opening the program on them, committing one cell (write-through,
// unit price and totals), and scrolling from top to bottom.
#include "Captura.h"
#include "Cursor.h"
#include "Form2.h"
#include "FormaImpresa.h"
#include "GeneradorDatos.h"
#include "Inicia.h"
#include "MDICaptura.h"
#include "Numeros.h"
#include "OrigenDatos.h"
#include "RejillaLigada.h"
#include "ServicioMensajes.h"
#include "ServicioSonido.h"
#include "TablaDbf.h"
#include "TablasSolicitud.h"

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QPrinter>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace lorum;

class Silencio : public ServicioMensajes {
public:
    Respuesta Muestra(const QString&, const QString&, Botones, Icono) override { return Respuesta::Aceptar; }
};
class SinSonido : public ServicioSonido {
public:
    void Reproduce(const QString&) override {}
};

constexpr int kPartidas = 10000;

// A data directory whose request holds 10,000 items.
struct Datos {
    QTemporaryDir dir;
    Datos() {
        PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), dir.path());
        Cursor c = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.6;"), QStringLiteral("mercanci"));
        for (int i = 0; i < kPartidas; ++i) {
            c.AddNew();
            c.SetValor(1, i + 1);
            c.SetValor(3, QStringLiteral("01011001"));
            c.SetValor(4, QStringLiteral("MERCANCÍA NÚMERO %1").arg(i));
            c.SetValor(5, 6);
            c.SetValor(6, QStringLiteral("PIEZA"));
            c.SetValor(7, 3.0 + i % 7);
            c.SetValor(8, CortaNumero(10.0 / (3.0 + i % 7), 12));
            c.SetValor(9, 10.0);
            c.Update();
        }
    }
};

Datos& datos() {
    static Datos d;
    return d;
}

void BM_ArrancarConDiezMilPartidas(benchmark::State& estado) {
    Silencio mensajes;
    SinSonido sonido;
    for (auto _ : estado) {
        auto inicia = std::make_unique<Inicia>(mensajes, sonido);
        if (!inicia->Main(datos().dir.path())) estado.SkipWithError("no arrancó");
        QApplication::processEvents();
        benchmark::DoNotOptimize(inicia->ventana()->captura()->dbProducto->modelo()->rowCount());
        estado.PauseTiming();
        inicia.reset();
        estado.ResumeTiming();
    }
}
BENCHMARK(BM_ArrancarConDiezMilPartidas)->Unit(benchmark::kMillisecond);

// The program started on the 10,000 items.
struct Programa {
    Silencio mensajes;
    SinSonido sonido;
    Inicia inicia{mensajes, sonido};
    Programa() { inicia.Main(datos().dir.path()); }
    Captura* forma() const { return inicia.ventana()->captura(); }
};

void BM_ConfirmarUnaCelda(benchmark::State& estado) {
    Programa programa;
    RejillaLigada* rejilla = programa.forma()->dbProducto;
    const QModelIndex celda = rejilla->modelo()->index(kPartidas / 2, 7);
    rejilla->setCurrentIndex(celda);
    QLineEdit editor;
    int i = 0;
    for (auto _ : estado) {
        editor.setText(QString::number(2 + i++ % 5));
        rejilla->itemDelegate()->setModelData(&editor, rejilla->model(), celda);
    }
}
BENCHMARK(BM_ConfirmarUnaCelda)->Unit(benchmark::kMillisecond);

void BM_DesplazarDeArribaAAbajo(benchmark::State& estado) {
    Programa programa;
    Captura* f = programa.forma();
    f->SSTab1->setCurrentIndex(2);
    RejillaLigada* rejilla = f->dbProducto;
    const quint64 lecturas = f->dtsMercancia.Registros().tabla().generacion();
    QScrollBar* barra = rejilla->verticalScrollBar();
    for (auto _ : estado) {
        for (int v = barra->minimum(); v <= barra->maximum(); v += std::max(1, barra->pageStep())) {
            barra->setValue(v);
            benchmark::DoNotOptimize(rejilla->viewport()->grab());
        }
    }
    // Painting reads the rows held in memory: the table file was not read again.
    if (f->dtsMercancia.Registros().tabla().generacion() != lecturas) estado.SkipWithError("la tabla se releyó");
    estado.counters["paginas"] = double(barra->maximum() / std::max(1, barra->pageStep()) + 1);
}
BENCHMARK(BM_DesplazarDeArribaAAbajo)->Unit(benchmark::kMillisecond);

void BM_FormateaInfDiezMilPartidas(benchmark::State& estado) {
    Cursor e = AbreCursor(datos().dir.path(), QStringLiteral("FoxPro 2.5;"), QStringLiteral("empresas"));
    if (e.Eof()) {
        e.AddNew();
        e.SetValor(0, QStringLiteral("PEGJ800101AB1"));
        e.Update();
    }
    qsizetype largo = 0;
    for (auto _ : estado) {
        const FormaImpresa f = FormateaInf(datos().dir.path(), {}, QDate(2026, 12, 5));
        largo = f.texto.size();
    }
    estado.counters["caracteres"] = double(largo);
}
BENCHMARK(BM_FormateaInfDiezMilPartidas)->Unit(benchmark::kMillisecond);

// The print window's whole path for 10,000 items: the text built and shown with its header centred,
// then laid out and printed to a PDF file (the platform's "Print to File (PDF)").
void BM_ImprimePdfDiezMilPartidas(benchmark::State& estado) {
    Silencio mensajes;
    Form2 forma(datos().dir.path(), {}, mensajes);
    const QString pdf = datos().dir.filePath(QStringLiteral("forma.pdf"));
    forma.EligeImpresora = [&](QPrinter& impresora) {
        impresora.setOutputFormat(QPrinter::PdfFormat);
        impresora.setOutputFileName(pdf);
        return true;
    };
    for (auto _ : estado) forma.Imprime();
    QFile f(pdf);
    const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    estado.counters["paginas"] = double(QString::fromLatin1(bytes).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}
BENCHMARK(BM_ImprimePdfDiezMilPartidas)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LORUM"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
