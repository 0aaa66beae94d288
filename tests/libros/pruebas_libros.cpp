// The workbook reader against files written by other programs, and against damaged ones.

#include "Libro.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

using namespace lorum;

namespace {

QByteArray Lee(const QString& nombre) {
    QFile f(QStringLiteral(LORUM_DIR_LIBROS "/") + nombre);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << nombre.toStdString();
    return f.readAll();
}

using T = Celda::Tipo;

struct Esperada {
    T tipo;
    QString texto;  // the text, the error's code, the date's text, or the number as text
};

QString Describe(const Celda& c) {
    return QStringLiteral("%1:%2%3").arg(int(c.tipo)).arg(c.tipo == T::Numero || c.tipo == T::Logico ? QString::number(c.numero) : c.texto.left(30)).arg(c.formula ? "=" : "");
}

// Bytes of a zip archive made here: the parts of a workbook, or a bomb.
QByteArray Zip(const std::vector<std::pair<QString, QByteArray>>& partes) {
    QBuffer b;
    QuaZip z(&b);
    EXPECT_TRUE(z.open(QuaZip::mdCreate));
    for (const auto& [nombre, datos] : partes) {
        QuaZipFile f(&z);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly, QuaZipNewInfo(nombre)));
        f.write(datos);
        f.close();
    }
    z.close();
    return b.data();
}

}  // namespace

// Column B of sheet "Hoja1" holds one kind of cell per row, as each writer stored it.
TEST(Libros, CadaTipoDeCeldaEnCadaFormato) {
    const QString largo = QString(9000, u'X') + u'Ñ';
    const std::vector<std::pair<QString, Esperada>> casos = {
        {"numero", {T::Numero, "2.5"}},
        {"entero", {T::Numero, "100"}},
        {"texto", {T::Texto, QStringLiteral("CAÑA DE AZÚCAR €")}},
        {"formula_numero", {T::Numero, "100"}},
        {"formula_texto", {T::Texto, "ABCD"}},
        {"formula_logico", {T::Logico, "1"}},
        {"formula_error", {T::Error, "#DIV/0!"}},
        {"logico", {T::Logico, "1"}},
        {"error", {T::Error, "#N/A"}},
        {"fecha", {T::Fecha, "07/12/2026"}},
        {"vacio", {T::Vacia, ""}},
        {"largo", {T::Texto, largo}},  // in BIFF8, a shared string that goes on in CONTINUE records
    };
    // Excel 5.0 strings are of one byte whatever the code page says: 1200 (Unicode) is read as Windows-1252.
    QByteArray cp1200 = Lee(QStringLiteral("tipos-biff5.xls"));
    const qsizetype pagina = cp1200.indexOf(QByteArray("\x42\x00\x02\x00", 4));
    ASSERT_GT(pagina, 0);
    qToLittleEndian<quint16>(1200, cp1200.data() + pagina + 4);
    for (const char* archivo : {"tipos-biff5.xls", "cp1200", "tipos-biff8.xls", "tipos-gnumeric.xlsx", "tipos.ods", "tipos-openpyxl.xlsx"}) {
        SCOPED_TRACE(archivo);
        const Libro libro = LeeLibro(QByteArray(archivo) == "cp1200" ? cp1200 : Lee(QString::fromLatin1(archivo)));
        const Hoja* h = libro.hoja(QStringLiteral("hoja1"));
        ASSERT_NE(h, nullptr);
        const bool sinResultados = QByteArray(archivo).contains("openpyxl");  // it stores no formula results
        for (int fila = 2; fila < 2 + int(casos.size()); ++fila) {
            const auto& [caso, e] = casos[size_t(fila - 2)];
            ASSERT_EQ(h->celda(fila, 0).texto, caso);
            const Celda& c = h->celda(fila, 1);
            const bool formula = caso.startsWith(QLatin1String("formula"));
            const Esperada esperada = sinResultados && formula ? Esperada{T::SinCalcular, ""} : e;
            EXPECT_EQ(c.tipo, esperada.tipo) << caso.toStdString() << " " << Describe(c).toStdString();
            const QString texto = c.tipo == T::Numero || c.tipo == T::Logico ? QString::number(c.numero) : c.texto;
            EXPECT_EQ(texto, esperada.texto) << caso.toStdString();
            if (formula && !sinResultados) {
                EXPECT_TRUE(c.formula) << caso.toStdString();
            }
        }
        EXPECT_EQ(h->filas.rbegin()->first, 13) << "nothing kept past the last row with data";
    }
}

TEST(Libros, TextoSeparadoPorComas) {
    struct Caso {
        QByteArray bytes;
        std::vector<std::vector<QString>> filas;  // cells A.. of rows 1..
    };
    const std::vector<Caso> casos = {
        {"a,b;c\r\n1,\"x, \"\"y\"\"\nz\",3\n", {{"a", "b;c"}, {"1", "x, \"y\"\nz", "3"}}},
        {"\xEF\xBB\xBF" "Partida;Descripci\xC3\xB3n\n1;CA\xC3\x91" "A", {{"Partida", QStringLiteral("Descripción")}, {"1", QStringLiteral("CAÑA")}}},
        {"a;b\n1;CA\xD1" "A \x80", {{"a", "b"}, {"1", QStringLiteral("CAÑA €")}}},  // Windows-1252
        {"a,b,c,d,e,f,g,h\n1,2,3,4,5,6,7,8", {{"a", "b", "c", "d", "e", "f"}, {"1", "2", "3", "4", "5", "6"}}},
        {"a\tb\n1\t2", {{"a", "b"}, {"1", "2"}}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.bytes.toStdString());
        const Libro l = LeeLibro(c.bytes);
        ASSERT_EQ(l.hojas.size(), 1u);
        for (size_t f = 0; f < c.filas.size(); ++f)
            for (size_t col = 0; col < 6; ++col) {
                const Celda& celda = l.hojas[0].celda(int(f + 1), int(col));
                const QString v = celda.tipo == T::Numero ? QString::number(celda.numero) : celda.texto;
                EXPECT_EQ(v, col < c.filas[f].size() ? c.filas[f][col] : QString()) << f << "," << col;
            }
    }
    // Digits are numbers, as a spreadsheet opening the file takes them, unless a leading zero would be lost.
    const Libro n = LeeLibro("a\n1011003\n01011001\n-2.5\n1e5\n");
    EXPECT_EQ(n.hojas[0].celda(2, 0).tipo, T::Numero);
    EXPECT_EQ(n.hojas[0].celda(3, 0).texto, QStringLiteral("01011001"));
    EXPECT_EQ(n.hojas[0].celda(4, 0).numero, -2.5);
    EXPECT_EQ(n.hojas[0].celda(5, 0).tipo, T::Texto);
    // With ";" between fields a comma may be the decimal mark; with "," it separates.
    const Libro coma = LeeLibro("a;b\n2,5;1,5x\n");
    EXPECT_EQ(coma.hojas[0].celda(2, 0).numero, 2.5);
    EXPECT_EQ(coma.hojas[0].celda(2, 1).texto, QStringLiteral("1,5x"));
    EXPECT_THROW(LeeLibro("a,\"sin cerrar\n1,2\n"), ErrorLibro);
}

// Every damaged workbook gives an ErrorLibro with a message, never a crash or a read outside the data
// (the suite runs under AddressSanitizer).
TEST(Libros, LibrosDanadosDanUnMensaje) {
    for (const char* archivo : {"tipos-biff5.xls", "tipos-biff8.xls", "basico-xlwt.xls", "tipos-gnumeric.xlsx",
                                "basico-xlsxwriter.xlsx", "tipos.ods"}) {
        const QByteArray entero = Lee(QString::fromLatin1(archivo));
        int fallan = 0;
        for (qsizetype corte = 0; corte < entero.size(); corte += 97) {
            try {
                LeeLibro(entero.left(corte));
            } catch (const ErrorLibro& e) {
                ++fallan;
                EXPECT_FALSE(e.mensaje().isEmpty());
            }
        }
        EXPECT_GT(fallan, entero.size() / 97 * 3 / 4) << archivo << ": a cut workbook is refused";
    }

    // The compound document's FAT and directory, rewritten.
    const QByteArray biff8 = Lee(QStringLiteral("tipos-biff8.xls"));
    auto u32 = [](const QByteArray& d, qsizetype en) { return qFromLittleEndian<quint32>(d.constData() + en); };
    auto pon = [](QByteArray& d, qsizetype en, quint32 v) { qToLittleEndian(v, d.data() + en); };
    const qsizetype dir = 512 + qsizetype(u32(biff8, 0x30)) * 512, fat = 512 + qsizetype(u32(biff8, 0x4C)) * 512;
    qsizetype libro = -1;
    for (qsizetype e = dir; e < dir + 512; e += 128)
        if (QString::fromUtf16(reinterpret_cast<const char16_t*>(biff8.constData() + e), 8) == QLatin1String("Workbook")) libro = e;
    ASSERT_GE(libro, 0);
    const quint32 inicio = u32(biff8, libro + 116);
    struct Dano {
        const char* que;
        std::function<void(QByteArray&)> hace;
        const char* dice;
    };
    const std::vector<Dano> danos = {
        {"a chain that loops", [&](QByteArray& d) { pon(d, fat + 4 * inicio, inicio); }, "vuelve sobre sí misma"},
        {"a chain out of the file", [&](QByteArray& d) { pon(d, fat + 4 * inicio, 0x00FFFFFF); }, "sale del archivo"},
        {"a lying stream size", [&](QByteArray& d) { pon(d, libro + 120, 0x7FFFFFFF); }, "declara más bytes"},
        {"a FAT bigger than the file", [&](QByteArray& d) { pon(d, 0x2C, 0x10000000); }, "más grande que el archivo"},
        {"no workbook stream", [&](QByteArray& d) { d[libro] = 'X'; }, "no tiene hojas"},
        {"a sheet out of the stream", [&](QByteArray& d) {
             const qsizetype en = d.indexOf(QByteArray("\x85\x00", 2), 512);
             pon(d, en + 4, 0x7FFFFFF0);
         }, "fuera del libro"},
    };
    for (const Dano& dano : danos) {
        QByteArray d = biff8;
        dano.hace(d);
        try {
            LeeLibro(d);
            ADD_FAILURE() << dano.que << " was read";
        } catch (const ErrorLibro& e) {
            EXPECT_TRUE(e.mensaje().contains(QString::fromUtf8(dano.dice))) << dano.que << ": " << e.mensaje().toStdString();
        }
    }

    // Zip archives out of proportion: a part that inflates beyond the bound, too many parts.
    LimitesLibro limites;
    limites.inflado = 4 * 1024 * 1024;
    limites.entradas = 20;
    const QByteArray bomba = Zip({{"xl/workbook.xml", "<workbook>" + QByteArray(8 * 1024 * 1024, ' ') + "</workbook>"}});
    std::vector<std::pair<QString, QByteArray>> muchas{{"content.xml", "<x/>"}};
    for (int i = 0; i < 30; ++i) muchas.push_back({QStringLiteral("p%1").arg(i), "x"});
    for (const QByteArray& d : {bomba, Zip(muchas)}) {
        try {
            LeeLibro(d, limites);
            ADD_FAILURE() << "read";
        } catch (const ErrorLibro& e) {
            EXPECT_TRUE(e.mensaje().contains(QStringLiteral("fuera de proporción"))) << e.mensaje().toStdString();
        }
    }
    // An OpenDocument row repeated a million times is refused at the bound (tipos.ods ends with an
    // empty row repeated as many times, which costs nothing).
    const QByteArray repetida = Zip({{"content.xml",
                                      "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                                      "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\"><table:table table:name=\"Hoja1\">"
                                      "<table:table-row table:number-rows-repeated=\"1000000\"><table:table-cell office:value-type=\"float\" "
                                      "office:value=\"1\"/></table:table-row></table:table></office:document-content>"}});
    EXPECT_THROW(LeeLibro(repetida), ErrorLibro);
}
