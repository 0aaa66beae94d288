// libFuzzer target: any bytes as a table file must open with a clear error or read sensibly, and a
// table that opens must take an append and an edit without damage.
#include "Cursor.h"
#include "ErrorTabla.h"
#include "TablaDbf.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
    static const QString ruta = QDir::temp().filePath(QStringLiteral("lorum-fuzz-%1.dbf").arg(QCoreApplication::applicationPid()));
    {
        QFile f(ruta);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(reinterpret_cast<const char*>(datos), qint64(tamano));
    }
    try {
        lorum::Cursor c(lorum::TablaDbf::Abre(ruta));
        for (; !c.Eof(); c.MoveNext())
            for (int i = 0; i < c.NumCampos(); ++i) (void)c.Valor(i);
        c.MoveFirst();
        c.FindFirst(c.CampoEn(0).nombre + QStringLiteral(" Like 'A*'"));
        (void)c.RecordCount();
        (void)c.AbsolutePosition();
        c.AddNew();
        c.SetValor(0, QStringLiteral("1"));
        c.Update();
        c.MoveLast();
        c.Edit();
        c.SetValor(0, QVariant());
        c.Update();
        c.Delete();
    } catch (const lorum::ErrorTabla&) {
    }
    return 0;
}
