// Start-up and memory of the real program against a bare Qt window, on the X server of $DISPLAY
// (run it under xvfb-run): each program is started in turn, the time from its exec to the first
// window mapped on the screen is measured, and its peak resident memory (VmHWM) is read two seconds
// later, when the welcome is up. The program runs on a data folder with a request without items and
// on one with 10,000 items. Besides the ratio of the medians it reports the median of the ratios of
// each start to the bare window's start just before it.
//   xvfb-run -a build-rel/bin/bench_arranque [RUNS]
//   build-rel/bin/bench_arranque --prepara DIR   (only fills DIR with the 10,000-item request, to profile it)
#include "Cursor.h"
#include "GeneradorDatos.h"
#include "Numeros.h"
#include "OrigenDatos.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

extern char** environ;

namespace {

using Reloj = std::chrono::steady_clock;

struct Medida {
    double ms;
    double mb;
};

long PicoKb(pid_t pid) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("VmHWM:")) return l.mid(6).trimmed().split(' ').front().toLong();
    return -1;
}

// Starts the program and waits for the first window it maps on the root window.
Medida Arranca(xcb_connection_t* x, const std::vector<std::string>& argumentos) {
    std::vector<char*> argv;
    for (const std::string& a : argumentos) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    while (xcb_generic_event_t* e = xcb_poll_for_event(x)) free(e);
    const auto t0 = Reloj::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        std::perror(argv[0]);
        std::exit(1);
    }
    double ms = -1;
    while (ms < 0) {
        xcb_generic_event_t* e = xcb_wait_for_event(x);
        if (!e) break;
        if ((e->response_type & 0x7F) == XCB_MAP_NOTIFY)
            ms = std::chrono::duration<double, std::milli>(Reloj::now() - t0).count();
        free(e);
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const double mb = double(PicoKb(pid)) / 1024;
    // Ended as a session ends it: a killed run would leave its lock behind, and the next start would
    // pay for taking over a lock that a real start finds only after a crash.
    kill(pid, SIGTERM);
    for (int i = 0; i < 200 && waitpid(pid, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0);
    return {ms, mb};
}

double Mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool soloPrepara = argc > 2 && std::strcmp(argv[1], "--prepara") == 0;
    const int vueltas = argc > 1 && !soloPrepara ? std::atoi(argv[1]) : 11;
    const std::string bin = QCoreApplication::applicationDirPath().toStdString();
    QTemporaryDir vacia, llena;
    const QString dirLlena = soloPrepara ? QString::fromLocal8Bit(argv[2]) : llena.path();
    // A request as a user leaves it after a save: the applicant and the request's header, so that no
    // placeholder is checked on loading.
    for (const QString& d : {vacia.path(), dirLlena}) {
        lorum::PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), d);
        lorum::Cursor e = lorum::AbreCursor(d, QStringLiteral("FoxPro 2.6;"), QStringLiteral("empresas"));
        e.AddNew();
        e.SetValor(u"RFC", QStringLiteral("GODE561231GR8"));
        e.SetValor(u"Nombre", QStringLiteral("EMPRESA DE PRUEBA"));
        e.Update();
        lorum::Cursor s = lorum::AbreCursor(d, QStringLiteral("FoxPro 2.6;"), QStringLiteral("lorums"));
        s.AddNew();
        s.SetValor(u"idtra", 4);
        s.Update();
    }
    {
        lorum::Cursor c = lorum::AbreCursor(dirLlena, QStringLiteral("FoxPro 2.6;"), QStringLiteral("mercanci"));
        std::vector<QByteArray> registros;
        for (int i = 0; i < 10000; ++i) {
            c.AddNew();
            c.SetValor(1, i + 1);
            c.SetValor(3, QStringLiteral("01011001"));
            c.SetValor(4, QStringLiteral("MERCANCÍA NÚMERO %1").arg(i));
            c.SetValor(5, 6);
            c.SetValor(6, QStringLiteral("PIEZA"));
            c.SetValor(7, 3.0 + i % 7);
            c.SetValor(8, lorum::CortaNumero(10.0 / (3.0 + i % 7), 12));
            c.SetValor(9, 10.0);
            registros.push_back(c.Pendiente());
            c.CancelUpdate();
        }
        c.AgregaVarios(registros);
    }
    if (soloPrepara) return 0;
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "bench_arranque: no hay servidor X (úselo con xvfb-run -a)\n");
        return 1;
    }
    const xcb_window_t raiz = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mascara = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, raiz, XCB_CW_EVENT_MASK, &mascara);
    xcb_flush(x);

    const std::vector<std::string> desnuda = {bin + "/ventana_vacia"};
    const std::vector<std::string> lorumVacia = {bin + "/lorum", "--datos", vacia.path().toStdString()};
    const std::vector<std::string> lorumLlena = {bin + "/lorum", "--datos", llena.path().toStdString()};
    std::vector<double> t[3], m[3];
    for (int i = 0; i < vueltas; ++i) {
        for (int k = 0; k < 3; ++k) {
            const Medida r = Arranca(x, k == 0 ? desnuda : k == 1 ? lorumVacia : lorumLlena);
            t[k].push_back(r.ms);
            m[k].push_back(r.mb);
        }
    }
    const char* nombres[] = {"ventana de Qt sola", "LORUM, sin partidas", "LORUM, 10 000 partidas"};
    for (int k = 0; k < 3; ++k)
        std::printf("%-24s arranque %7.1f ms (%.2fx)   memoria pico %6.1f MB (%.2fx)\n", nombres[k], Mediana(t[k]),
                    Mediana(t[k]) / Mediana(t[0]), Mediana(m[k]), Mediana(m[k]) / Mediana(m[0]));
    std::printf("(medianas de %d arranques alternados)\n", vueltas);
    // Each start against the bare window's start just before it: a slow spell of the machine weighs
    // on both sides of a pair, so this median moves less from one invocation to the next.
    std::vector<double> razones[3];
    for (int i = 0; i < vueltas; ++i)
        for (int k = 1; k < 3; ++k) razones[k].push_back(t[k][size_t(i)] / t[0][size_t(i)]);
    std::printf("mediana de las razones por par: %.2fx sin partidas, %.2fx con 10 000 partidas\n",
                Mediana(razones[1]), Mediana(razones[2]));
    xcb_disconnect(x);
    return 0;
}
