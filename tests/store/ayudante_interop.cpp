// Writes a table full of Spanish text with the engine, for the independent readers to check:
//   ayudante_interop RUTA
#include "Cursor.h"
#include "ErrorTabla.h"
#include "TablaDbf.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) return 2;
    using namespace lorum;
    try {
        const QString ruta = QString::fromLocal8Bit(argv[1]);
        TablaDbf::Crea(ruta, {CampoC("TEXTO", 60), CampoN("IMPORTE", 19, 10), CampoN("CLAVE", 5), CampoD("FECHA"),
                              CampoC("VACIO", 5)});
        Cursor c(TablaDbf::Abre(ruta));
        const struct {
            const char* texto;
            double importe;
            int clave;
        } filas[] = {
            {"AÑO DE PEÑA NIETO, CAMIÓN Y PINGÜINO", 3.3333333333, 1},
            {"¿QUÉ? ¡SÍ! ÁÉÍÓÚ áéíóú ñÑ üÜ º ª", 1234567.1234567, 22},
            {"COMILLAS \"DOBLES\" Y 'SIMPLES'", 14.5, 333},
            {" EMPIEZA CON BLANCO", -0.5, 0},
        };
        for (const auto& f : filas) {
            c.AddNew();
            c.SetValor(u"TEXTO", QString::fromUtf8(f.texto));
            c.SetValor(u"IMPORTE", f.importe);
            c.SetValor(u"CLAVE", f.clave);
            c.SetValor(u"FECHA", QDate(2026, 2, 28));
            c.Update();
        }
    } catch (const ErrorTabla& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
