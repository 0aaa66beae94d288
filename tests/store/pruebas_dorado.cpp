#include "Auxiliares.h"

using namespace lorum;
using namespace lorum::prueba;

namespace {
class Dorado : public DirectorioPrueba {};
}  // namespace

// Bytes that other readers depend on: header, descriptors, code page mark, number layout, deleted
// flag and end mark, compared with a file checked by hand.
TEST_F(Dorado, TablaPequenaByteAByte) {
    TablaDbf::FijaReloj([] { return QDate(2026, 12, 6); });
    const QString ruta = Ruta("dorado.dbf");
    TablaDbf::Crea(ruta, {CampoC("NOMBRE", 8), CampoN("IMPORTE", 9, 2), CampoN("CLAVE", 3), CampoD("FECHA")});
    Cursor c(TablaDbf::Abre(ruta));
    c.AddNew();
    c.SetValor(u"NOMBRE", QStringLiteral("PEÑA"));
    c.SetValor(u"IMPORTE", 1234.5);
    c.SetValor(u"CLAVE", 7);
    c.SetValor(u"FECHA", QDate(1999, 2, 28));
    c.Update();
    c.AddNew();
    c.SetValor(u"NOMBRE", QStringLiteral("BORRADO"));
    c.SetValor(u"IMPORTE", -0.004);
    c.Update();
    c.AddNew();
    c.SetValor(u"IMPORTE", 0.125);
    c.Update();
    c.MoveFirst();
    c.MoveNext();
    c.Delete();
    TablaDbf::FijaReloj(nullptr);
    EXPECT_EQ(LeeBytes(ruta).toHex(' '), LeeBytes(QStringLiteral(LORUM_DIR_DORADOS "/dorado.dbf")).toHex(' '));
}
