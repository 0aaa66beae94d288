#include "Archivos.h"
#include "Auxiliares.h"
#include "ErrorTabla.h"
#include "OrigenDatos.h"

#include <functional>

using namespace lorum;
using namespace lorum::prueba;

namespace {

// Table bytes laid out by hand, independent of the engine: fields NOMBRE C 6 and VALOR N 6.2, two
// live records "ANA" 1.50 and "BETO" 20.00.
struct Crudo {
    QByteArray b;
    static constexpr int kEncabezado = 32 + 2 * 32 + 1;
    static constexpr int kRegistro = 1 + 6 + 6;

    Crudo() {
        b = QByteArray(kEncabezado, '\0');
        b[0] = 0x03;
        b[1] = 126;
        b[2] = 12;
        b[3] = 6;
        b[4] = 2;
        b[8] = char(kEncabezado);
        b[10] = char(kRegistro);
        b[29] = 0x02;
        campo(32, "NOMBRE", 'C', 6, 0);
        campo(64, "VALOR", 'N', 6, 2);
        b[kEncabezado - 1] = 0x0D;
        b += " ANA     1.50";
        b += " BETO   20.00";
        b += '\x1A';
    }
    void campo(int p, const char* nombre, char tipo, int ancho, int dec) {
        b.replace(p, int(qstrlen(nombre)), nombre);
        b[p + 11] = tipo;
        b[p + 16] = char(ancho);
        b[p + 17] = char(dec);
    }
    int registro(int i) const { return kEncabezado + i * kRegistro; }
};

QStringList Lee(const QString& dir) {
    Cursor c = AbreCursor(dir, QStringLiteral("FoxPro 2.5;"), "t");
    QStringList filas;
    for (; !c.Eof(); c.MoveNext()) {
        const QVariant v = c.Valor(1);
        filas << c.Valor(0).toString() + "|" + (v.isValid() ? QString::number(v.toDouble()) : "null");
    }
    return filas;
}

class Danados : public DirectorioPrueba {};

}  // namespace

TEST_F(Danados, LecturaSensataDeArchivosImperfectos) {
    const struct {
        const char* caso;
        std::function<void(Crudo&)> dana;
        QStringList esperado;
        // Whether it may replace a working table: only a table exactly what its header says.
        bool reemplaza = true;
    } casos[] = {
        {"intacto", [](Crudo&) {}, {"ANA|1.5", "BETO|20"}},
        {"cuenta mayor que los registros", [](Crudo& t) { t.b[4] = 9; }, {"ANA|1.5", "BETO|20"}, false},
        {"cuenta menor que los registros", [](Crudo& t) { t.b[4] = 1; }, {"ANA|1.5"}},
        {"último registro truncado", [](Crudo& t) { t.b.truncate(t.registro(1) + 5); }, {"ANA|1.5"}, false},
        {"sin marca de fin", [](Crudo& t) { t.b.chop(1); }, {"ANA|1.5", "BETO|20"}},
        {"basura tras la marca", [](Crudo& t) { t.b += QByteArray(100, '\xEE'); }, {"ANA|1.5", "BETO|20"}},
        {"basura como registros de más", [](Crudo& t) { t.b.chop(1); t.b += QByteArray(26, '#'); t.b[4] = 4; },
         {"ANA|1.5", "BETO|20", "######|null", "######|null"}},
        {"marca de fin donde empieza un registro", [](Crudo& t) { t.b[t.registro(1)] = 0x1A; }, {"ANA|1.5"}, false},
        {"terminador 0x00", [](Crudo& t) { t.b[Crudo::kEncabezado - 1] = 0x00; }, {"ANA|1.5", "BETO|20"}, false},
        {"nombres en minúsculas", [](Crudo& t) { t.b.replace(32, 6, "nombre"); }, {"ANA|1.5", "BETO|20"}},
        {"asteriscos en un número", [](Crudo& t) { t.b.replace(t.registro(0) + 7, 6, "******"); }, {"ANA|null", "BETO|20"}},
        {"coma decimal", [](Crudo& t) { t.b.replace(t.registro(0) + 7, 6, "  1,75"); }, {"ANA|1.75", "BETO|20"}},
        {"número ilegible", [](Crudo& t) { t.b.replace(t.registro(0) + 7, 6, " 1x2.3"); }, {"ANA|null", "BETO|20"}},
        {"registro borrado", [](Crudo& t) { t.b[t.registro(0)] = '*'; }, {"BETO|20"}},
        {"bandera 0x00 se lee como vivo", [](Crudo& t) { t.b[t.registro(0)] = 0x00; }, {"ANA|1.5", "BETO|20"}},
        {"página de códigos desconocida", [](Crudo& t) { t.b[29] = char(0xC8); }, {"ANA|1.5", "BETO|20"}},
        {"registro más largo que sus campos", [](Crudo& t) {
             t.b[10] = Crudo::kRegistro + 1;
             t.b.chop(1);
             t.b.insert(t.registro(0) + Crudo::kRegistro, ' ');
             t.b.append(' ');
             t.b.append('\x1A');
         }, {"ANA|1.5", "BETO|20"}, false},
        {"encabezado con relleno tras el terminador", [](Crudo& t) {
             t.b[8] = Crudo::kEncabezado + 1;
             t.b.insert(Crudo::kEncabezado, '\0');
         }, {"ANA|1.5", "BETO|20"}, false},
    };
    for (const auto& caso : casos) {
        Crudo t;
        caso.dana(t);
        EscribeBytes(Ruta("t.dbf"), t.b);
        try {
            EXPECT_EQ(Lee(Dir()), caso.esperado) << caso.caso;
            // The streaming reader of bulk exports ends the records at the same place.
            LectorDbf lector(Ruta("t.dbf"));
            qsizetype vivos = 0;
            while (const char* r = lector.Siguiente()) vivos += r[0] != '*';
            EXPECT_EQ(vivos, caso.esperado.size()) << caso.caso;
        } catch (const ErrorTabla& e) {
            ADD_FAILURE() << caso.caso << ": " << e.what();
        }
        try {
            CompruebaTabla(Ruta("t.dbf"), {CampoC("NOMBRE", 6), CampoN("VALOR", 6, 2)});
            EXPECT_TRUE(caso.reemplaza) << caso.caso << ": a damaged table would replace a working one";
        } catch (const ErrorTabla& e) {
            EXPECT_FALSE(caso.reemplaza) << caso.caso << ": " << e.what();
            EXPECT_TRUE(e.mensaje().contains("t.dbf") && e.mensaje().contains(QStringLiteral("dañada"))) << e.what();
        }
    }
}

TEST_F(Danados, ErrorClaroQueNombraElArchivo) {
    const struct {
        const char* caso;
        std::function<void(Crudo&)> dana;
    } casos[] = {
        {"archivo de 10 bytes", [](Crudo& t) { t.b.truncate(10); }},
        {"archivo vacío", [](Crudo& t) { t.b.clear(); }},
        {"versión desconocida", [](Crudo& t) { t.b[0] = 0x00; }},
        {"encabezado más largo que el archivo", [](Crudo& t) { t.b[8] = char(0xFF); t.b[9] = 0x7F; }},
        {"encabezado demasiado corto", [](Crudo& t) { t.b[8] = 40; }},
        {"registro más corto que sus campos", [](Crudo& t) { t.b[10] = 5; }},
        {"sin campos", [](Crudo& t) { t.b[32] = 0x0D; }},
        {"nombre de campo ilegible", [](Crudo& t) { t.b[33] = '\x01'; }},
        {"campo de ancho 0", [](Crudo& t) { t.b[64 + 16] = 0; }},
    };
    for (const auto& caso : casos) {
        Crudo t;
        caso.dana(t);
        EscribeBytes(Ruta("t.dbf"), t.b);
        try {
            Lee(Dir());
            ADD_FAILURE() << caso.caso << ": se leyó sin error";
        } catch (const ErrorTabla& e) {
            EXPECT_TRUE(e.mensaje().contains("t.dbf")) << caso.caso << ": " << e.what();
        }
        EXPECT_THROW(LectorDbf{Ruta("t.dbf")}, ErrorTabla) << caso.caso;
    }
}

TEST_F(Danados, AgregarTrasUnaCaidaNoDanaElArchivo) {
    // A crash after the record was written but before the header's count: the orphan is not read,
    // and the next append takes its place.
    Crudo t;
    t.b[4] = 1;
    EscribeBytes(Ruta("t.dbf"), t.b);
    Cursor c = AbreCursor(Dir(), QStringLiteral("FoxPro 2.5;"), "t");
    c.AddNew();
    c.SetValor(0, QStringLiteral("CARLA"));
    c.SetValor(1, 3.25);
    c.Update();
    const QByteArray despues = LeeBytes(Ruta("t.dbf"));
    EXPECT_EQ(quint8(despues[4]), 2);
    EXPECT_EQ(despues.mid(t.registro(1), Crudo::kRegistro + 1), QByteArray(" CARLA   3.25\x1A"));
    EXPECT_EQ(Lee(Dir()), QStringList({"ANA|1.5", "CARLA|3.25"}));

    // A truncated last record is overwritten whole by the next append.
    Crudo corto;
    corto.b.truncate(corto.registro(1) + 4);
    EscribeBytes(Ruta("t.dbf"), corto.b);
    Cursor d = AbreCursor(Dir(), QStringLiteral("FoxPro 2.5;"), "t");
    d.AddNew();
    d.SetValor(0, QStringLiteral("DORA"));
    d.Update();
    EXPECT_EQ(Lee(Dir()), QStringList({"ANA|1.5", "DORA|null"}));
    EXPECT_EQ(LeeBytes(Ruta("t.dbf")).size(), corto.registro(2) + 1);
}
