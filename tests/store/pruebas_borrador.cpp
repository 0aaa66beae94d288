// The draft of a form not yet saved: every kind of value comes back exactly, and a file that is not
// whole, of another version or altered is never taken for a draft.
#include "Auxiliares.h"
#include "Borrador.h"

#include <QCryptographicHash>
#include <QDir>
#include <functional>

using namespace lorum;
using namespace lorum::prueba;

namespace {

class Borradores : public DirectorioPrueba {};

Borrador Ejemplo() {
    Borrador b;
    b.hora = QDateTime(QDate(2026, 12, 8), QTime(10, 31, 5));
    b.pagina = 6;
    b.campos = {{"dfRFC", " PEGJ800101AB1"},
                {"TxtMlJust", QStringLiteral("PRIMERA LÍNEA\r\nSEGUNDA, CON «COMILLAS» Y 100% ÑANDÚ")},
                {"ChkUsado", "S"},
                {"cmbTramite", "4"},
                {"TxtFax", ""},
                {"TxtTelefono", "-"},
                {"FIN", "FIN "},
                {"TxtMlUso", QString(4000, u'X') + u'Ü'}};
    return b;
}

}  // namespace

TEST_F(Borradores, VuelveExactoYNadaDanadoSeToma) {
    const Borrador b = Ejemplo();
    ASSERT_TRUE(GuardaBorrador(Dir(), b).ok);
    const auto leido = LeeBorrador(Dir());
    ASSERT_TRUE(leido.has_value());
    EXPECT_EQ(leido->hora, b.hora);
    EXPECT_EQ(leido->pagina, b.pagina);
    EXPECT_EQ(leido->campos, b.campos);

    const QByteArray texto = b.Texto();
    const struct {
        const char* que;
        std::function<QByteArray()> dana;
    } danos[] = {
        {"cut", [&] { return texto.left(texto.size() / 2); }},
        {"its last line lost", [&] { return texto.left(texto.lastIndexOf("FIN ")); }},
        {"a value altered", [&] { return QByteArray(texto).replace("ChkUsado S", "ChkUsado N"); }},
        {"another version", [&] { return QByteArray(texto).replace("LORUM-BORRADOR 1", "LORUM-BORRADOR 9"); }},
        {"a line it does not know", [&] {
             const QByteArray cuerpo = texto.left(texto.lastIndexOf("FIN ")) + "OTRA COSA\n";
             return cuerpo + "FIN " + QCryptographicHash::hash(cuerpo, QCryptographicHash::Sha1).toHex() + '\n';
         }},
        {"empty", [] { return QByteArray(); }},
    };
    for (const auto& d : danos) {
        EscribeBytes(QDir(Dir()).filePath(Borrador::kArchivo), d.dana());
        EXPECT_FALSE(LeeBorrador(Dir()).has_value()) << d.que;
    }
    QFile::remove(QDir(Dir()).filePath(Borrador::kArchivo));
    EXPECT_FALSE(LeeBorrador(Dir()).has_value()) << "none";
}
