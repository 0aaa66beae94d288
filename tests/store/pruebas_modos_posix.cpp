// File modes, which Windows does not have.
#include "Archivos.h"
#include "Auxiliares.h"

#include <QDir>
#include <sys/stat.h>

using namespace lorum;
using namespace lorum::prueba;

namespace {
class Modos : public DirectorioPrueba {};
}  // namespace

// What the program writes is readable as the user's umask says (a delivery, a folder shared with
// another user), and a file it replaces keeps the mode it had.
TEST_F(Modos, LosArchivosNuevosSiguenLaUmaskYLosReemplazadosGuardanSuModo) {
    struct Caso {
        mode_t umask;
        int antes;  // the mode of the file already there; -1 when none
        int despues;
    };
    const Caso casos[] = {{022, -1, 0644}, {002, -1, 0664}, {077, -1, 0600}, {022, 0640, 0640}, {077, 0664, 0664}};
    const QString tabla = TablaSimple("origen.dbf", {{"A", 1, 1}});
    for (const Caso& c : casos) {
        const mode_t anterior = ::umask(c.umask);
        const QString ruta = Ruta("nuevo.dbf"), copia = Ruta("copia.dbf");
        QFile::remove(ruta), QFile::remove(copia);
        if (c.antes >= 0) {
            EscribeBytes(ruta, "viejo"), EscribeBytes(copia, "viejo");
            ::chmod(QFile::encodeName(ruta).constData(), mode_t(c.antes));
            ::chmod(QFile::encodeName(copia).constData(), mode_t(c.antes));
        }
        EXPECT_TRUE(EscribeSobreNombre(ruta, "nuevo").ok);
        EXPECT_TRUE(CopiaTabla(tabla, copia).ok);
        ::umask(anterior);
        for (const QString& r : {ruta, copia}) {
            struct stat st {};
            ASSERT_EQ(::stat(QFile::encodeName(r).constData(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, mode_t(c.despues)) << std::oct << "umask " << c.umask << ", before " << c.antes;
        }
    }
}
