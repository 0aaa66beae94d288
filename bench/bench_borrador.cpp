// The draft of the form with every field filled (the long texts at their limits): what a change
// costs the form's thread (taking the fields, making the text, handing it to the writer), and the
// whole write the writer's thread does (beside, flushed, renamed).
#include "Borrador.h"
#include "Captura.h"
#include "GeneradorDatos.h"
#include "ControlChk.h"
#include "ControlesCatalogo.h"
#include "ControlesTexto.h"
#include "Inicia.h"
#include "MDICaptura.h"
#include "OrigenDatos.h"
#include "ServicioMensajes.h"
#include "ServicioSonido.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace lorum;

class Silencio : public ServicioMensajes {
public:
    Respuesta Muestra(const QString&, const QString&, Botones, Icono) override { return Respuesta::No; }
};
class SinSonido : public ServicioSonido {
public:
    void Reproduce(const QString&) override {}
};

struct Programa {
    QTemporaryDir dir;
    Silencio mensajes;
    SinSonido sonido;
    std::unique_ptr<Inicia> inicia;
    Programa() {
        PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), dir.path());
        inicia = std::make_unique<Inicia>(mensajes, sonido);
        if (!inicia->Main(dir.path())) std::abort();
        Captura& f = *inicia->ventana()->captura();
        // Every field filled to its length (the long texts to 254 characters, accented).
        for (const Captura::CampoDeForma& c : f.CamposDeForma()) {
            if (auto* t = qobject_cast<ControldfTxt*>(c.control)) t->setDatoTxt(QString(c.control->nMaxLen > 0 ? c.control->nMaxLen : 40, u'Ñ'));
            if (auto* t = qobject_cast<ControlTxtMl*>(c.control)) t->setDatoTxt(QString(250, u'É') + QStringLiteral("\r\nFIN"));
            if (auto* k = qobject_cast<ControlChk*>(c.control)) k->setValor(QStringLiteral("S"));
        }
        for (ControlCmb* cmb : {f.CmbEstado, f.cmbTramite, f.cmbRegimen, f.cmbDestino, f.cmbUM}) cmb->PonValor(1);
    }
    Captura& Forma() { return *inicia->ventana()->captura(); }
};

void BM_CambioEnElHiloDeLaForma(benchmark::State& estado) {
    Programa p;
    Captura& f = p.Forma();
    int i = 0;
    for (auto _ : estado) {
        f.TxtCalle->setDatoTxt(QStringLiteral("CALLE %1").arg(++i));  // a change: the draft is due
        f.EscribeBorrador();
    }
    f.Escritor()->Espera();
    estado.counters["bytes"] = double(f.BorradorActual().Texto().size());
}
BENCHMARK(BM_CambioEnElHiloDeLaForma)->Unit(benchmark::kMicrosecond);

void BM_EscrituraCompletaEnElDisco(benchmark::State& estado) {
    Programa p;
    const Borrador b = p.Forma().BorradorActual();
    for (auto _ : estado)
        if (!GuardaBorrador(p.dir.path(), b).ok) estado.SkipWithError("no se escribió");
}
BENCHMARK(BM_EscrituraCompletaEnElDisco)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
