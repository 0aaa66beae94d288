// The workbook reader against files written by other programs, and against damaged ones.

#include "Libro.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <minizip/zip.h>

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
    QTemporaryDir dir;
    const QByteArray ruta = QFile::encodeName(dir.filePath(QStringLiteral("libro.zip")));
    zipFile z = zipOpen64(ruta.constData(), APPEND_STATUS_CREATE);
    EXPECT_NE(z, nullptr);
    for (const auto& [nombre, datos] : partes) {
        zip_fileinfo info{};
        EXPECT_EQ(zipOpenNewFileInZip64(z, nombre.toUtf8().constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                        Z_DEFAULT_COMPRESSION, 0),
                  ZIP_OK);
        EXPECT_EQ(zipWriteInFileInZip(z, datos.constData(), unsigned(datos.size())), ZIP_OK);
        zipCloseFileInZip(z);
    }
    zipClose(z, nullptr);
    QFile f(QString::fromLocal8Bit(ruta));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

// A bare BIFF8 workbook stream (what Excel 5.0 writers may leave without a container): `hojas`
// sheet names, all pointing at one sheet of `filas` rows with a number in column A.
QByteArray Biff8(const QStringList& hojas, int filas) {
    auto registro = [](quint16 tipo, const QByteArray& datos) {
        QByteArray r(4, '\0');
        qToLittleEndian<quint16>(tipo, r.data());
        qToLittleEndian<quint16>(quint16(datos.size()), r.data() + 2);
        return r + datos;
    };
    auto bof = [&](quint16 tipo) {
        QByteArray d(16, '\0');
        qToLittleEndian<quint16>(0x0600, d.data());
        qToLittleEndian<quint16>(tipo, d.data() + 2);
        return registro(0x0809, d);
    };
    QByteArray globales = bof(0x0005);
    std::vector<qsizetype> posiciones;
    for (const QString& h : hojas) {
        posiciones.push_back(globales.size() + 4);
        QByteArray d(6, '\0');
        d += char(h.size());
        d += '\0';
        d += h.toLatin1();
        globales += registro(0x0085, d);
    }
    globales += registro(0x000A, {});
    for (qsizetype p : posiciones) qToLittleEndian<quint32>(quint32(globales.size()), globales.data() + p);
    QByteArray hoja = bof(0x0010);
    for (int f = 0; f < filas; ++f) {
        QByteArray d(14, '\0');
        qToLittleEndian<quint16>(quint16(f), d.data());
        qToLittleEndian<double>(f + 1, d.data() + 6);
        hoja += registro(0x0203, d);
    }
    return globales + hoja + registro(0x000A, {});
}

QByteArray Ods(const QByteArray& tablas) {
    return Zip({{"content.xml", "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                                "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\"><office:body><office:spreadsheet>" +
                                    tablas + "</office:spreadsheet></office:body></office:document-content>"}});
}
QByteArray TablaOds(const QString& nombre, const QByteArray& filas) {
    return "<table:table table:name=\"" + nombre.toUtf8() + "\">" + filas + "</table:table>";
}
QByteArray FilaOds(int repite, const QByteArray& celdas) {
    return "<table:table-row table:number-rows-repeated=\"" + QByteArray::number(repite) + "\">" + celdas + "</table:table-row>";
}
const QByteArray kNumeroOds = "<table:table-cell office:value-type=\"float\" office:value=\"1\" table:number-columns-repeated=\"6\"/>";
const QByteArray kTextoOds = "<table:table-cell office:value-type=\"string\" office:string-value=\"x\"/>";

QByteArray Xlsx(const QList<std::pair<QString, QByteArray>>& hojas, const QByteArray& textos) {
    QByteArray libro = "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>";
    QByteArray relaciones = "<Relationships>";
    std::vector<std::pair<QString, QByteArray>> partes;
    for (qsizetype i = 0; i < hojas.size(); ++i) {
        const QByteArray id = "rId" + QByteArray::number(i + 1), parte = "worksheets/sheet" + QByteArray::number(i + 1) + ".xml";
        libro += "<sheet name=\"" + hojas[i].first.toUtf8() + "\" r:id=\"" + id + "\"/>";
        relaciones += "<Relationship Id=\"" + id + "\" Type=\"x/worksheet\" Target=\"" + parte + "\"/>";
        partes.push_back({"xl/" + QString::fromLatin1(parte), "<worksheet><sheetData>" + hojas[i].second + "</sheetData></worksheet>"});
    }
    partes.push_back({"xl/workbook.xml", libro + "</sheets></workbook>"});
    partes.push_back({"xl/_rels/workbook.xml.rels", relaciones + "</Relationships>"});
    partes.push_back({"xl/sharedStrings.xml", "<sst>" + textos + "</sst>"});
    return Zip(partes);
}

// Workbooks of a few KB that declare far more than they hold: each with a sheet "Hoja1" whose list
// has `filas` rows (headings included) kept by the reader.
struct Hostil {
    const char* que;
    QByteArray bytes;
    int filas;
};
std::vector<Hostil> Hostiles(bool conLentos) {
    QByteArray otras;
    for (int i = 0; i < 40; ++i) otras += TablaOds(QStringLiteral("Otra%1").arg(i), FilaOds(100000, kNumeroOds));
    QStringList mil;
    for (int i = 0; i < 999; ++i) mil << QStringLiteral("H%1").arg(i);
    mil << QStringLiteral("HOJA1");
    QByteArray muchosTextos;
    for (int i = 0; conLentos && i < 200000; ++i) muchosTextos += "<si><t>" + QByteArray(1000, 'x') + "</t></si>";
    const QByteArray filaXlsx = "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>199999</v></c></row><row r=\"2\"><c r=\"A2\"><v>1</v></c></row>";
    std::vector<Hostil> hostiles = {
        {"ods with many sheets of repeated rows",
         Ods(otras + TablaOds(QStringLiteral("Hoja1"), FilaOds(3, kNumeroOds) + FilaOds(1, "") + FilaOds(1000000, kNumeroOds))), 3},
        {"ods whose list ends in a repeated empty A",
         Ods(TablaOds(QStringLiteral("Hoja1"), FilaOds(2, kNumeroOds) +
                                                   FilaOds(1000000, "<table:table-cell/>" + kTextoOds + "<table:table-cell table:number-columns-repeated=\"16000\"/>"))), 3},
        {"xls with a thousand sheets on the same cells", Biff8(mil, 60000), 60000},
        {"xlsx whose other sheet is damaged",
         Xlsx({{"Otra", "<row><c t=\"s\"><v>1e300</v></c></row>"}, {"Hoja1", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"}}, {}), 1},
        {"csv with a million rows after the list", "a\n1\n\n" + QByteArray(1000000, '\n').replace("\n", "1,2,3,4,5,6,7\n").left(8000000), 2},
    };
    // Too slow to make and read under the sanitizers: for the bounded-memory test only.
    if (conLentos) hostiles.push_back({"xlsx with a large table of texts it does not use", Xlsx({{"Hoja1", filaXlsx}}, muchosTextos), 2});
    return hostiles;
}

// The same compound document in version 4: its workbook stream taken from the version 3 file and
// laid out again in sectors of 4096 bytes (FAT in sector 0, directory in 1, the stream from 2 on).
QByteArray ComoVersion4(const QByteArray& v3) {
    auto u32 = [&](qsizetype en) { return qFromLittleEndian<quint32>(v3.constData() + en); };
    auto sector = [](quint32 s) { return 512 + qsizetype(s) * 512; };
    QByteArray flujo;
    const qsizetype dir = sector(u32(0x30));
    for (qsizetype e = dir; e < dir + 512; e += 128) {
        if (QString::fromUtf16(reinterpret_cast<const char16_t*>(v3.constData() + e), 8) != QLatin1String("Workbook")) continue;
        const quint32 tam = u32(e + 120);
        for (quint32 s = u32(e + 116); flujo.size() < tam; s = u32(sector(u32(0x4C + 4 * (s / 128))) + 4 * (s % 128)))
            flujo += v3.mid(sector(s), 512);
        flujo.truncate(tam);
    }
    EXPECT_GE(flujo.size(), 4096) << "the stream is outside the mini stream";
    constexpr qsizetype kSector = 4096;
    const quint32 nFlujo = quint32((flujo.size() + kSector - 1) / kSector);
    QByteArray d(kSector * (3 + nFlujo), '\0');
    auto pon16 = [&](qsizetype en, quint16 v) { qToLittleEndian(v, d.data() + en); };
    auto pon32 = [&](qsizetype en, quint32 v) { qToLittleEndian(v, d.data() + en); };
    d.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    pon16(0x18, 0x3E), pon16(0x1A, 4), pon16(0x1C, 0xFFFE), pon16(0x1E, 12), pon16(0x20, 6);
    pon32(0x28, 1), pon32(0x2C, 1), pon32(0x30, 1), pon32(0x38, 4096), pon32(0x3C, 0xFFFFFFFE), pon32(0x44, 0xFFFFFFFE);
    pon32(0x4C, 0);
    for (int i = 1; i < 109; ++i) pon32(0x4C + 4 * i, 0xFFFFFFFF);
    const qsizetype fat = kSector, directorio = 2 * kSector;
    for (qsizetype i = 0; i < kSector / 4; ++i) pon32(fat + 4 * i, 0xFFFFFFFF);
    pon32(fat, 0xFFFFFFFD), pon32(fat + 4, 0xFFFFFFFE);
    for (quint32 s = 2; s < 2 + nFlujo; ++s) pon32(fat + 4 * s, s + 1 < 2 + nFlujo ? s + 1 : 0xFFFFFFFE);
    auto entrada = [&](int i, const QString& nombre, quint8 tipo, quint32 hijo, quint32 inicio, quint32 tam) {
        const qsizetype e = directorio + 128 * i;
        for (qsizetype k = 0; k < nombre.size(); ++k) pon16(e + 2 * k, nombre[k].unicode());
        pon16(e + 64, quint16(2 * (nombre.size() + 1)));
        d[e + 66] = char(tipo);
        d[e + 67] = 1;
        pon32(e + 68, 0xFFFFFFFF), pon32(e + 72, 0xFFFFFFFF), pon32(e + 76, hijo);
        pon32(e + 116, inicio), pon32(e + 120, tam);
    };
    entrada(0, QStringLiteral("Root Entry"), 5, 1, 0xFFFFFFFE, 0);
    entrada(1, QStringLiteral("Workbook"), 2, 0xFFFFFFFF, 2, quint32(flujo.size()));
    for (int i = 2; i < 32; ++i) pon32(directorio + 128 * i + 68, 0xFFFFFFFF), pon32(directorio + 128 * i + 72, 0xFFFFFFFF), pon32(directorio + 128 * i + 76, 0xFFFFFFFF);
    d.replace(3 * kSector, flujo.size(), flujo);
    return d;
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
    // A note below the list may be anything: it is never read.
    const Libro nota = LeeLibro("a;b\n1;x\n\n\"Nota sin cerrar;2\n");
    EXPECT_EQ(nota.hojas[0].filas.size(), 2u);
    try {
        LeeLibro(QByteArray("\xFF\xFE" "a\0;\0b\0", 8));
        ADD_FAILURE() << "UTF-16 read";
    } catch (const ErrorLibro& e) {
        EXPECT_TRUE(e.mensaje().startsWith(QStringLiteral("es texto en UTF-16"))) << e.mensaje().toStdString();
    }
}

// A number in text is read one way only: as the separator and the file's own numbers settle its
// decimal mark, or not at all (the cell is undecided). Columns A..F of row 2, after a heading row.
TEST(Libros, NumerosEnTexto) {
    struct Caso {
        const char* fila;
        const char* separador;
        std::vector<const char*> celdas;  // "n:1500" number, "t:x" text, "?:1.500" undecided
    };
    const std::vector<Caso> casos = {
        {"1;73181599;TORNILLOS;0;1.500;3.000\n2;1;X;0;12,50;1", ";", {"n:1", "n:73181599", "t:TORNILLOS", "n:0", "n:1500", "n:3000"}},
        {"1\t01011001\t3.10\t0\t2,5\t1.000", "\t", {"n:1", "t:01011001", "t:3.10", "n:0", "n:2.5", "n:1000"}},
        {"1;x;2,50;0;1.234.567,5;-0,5", ";", {"n:1", "t:x", "n:2.5", "n:0", "n:1234567.5", "n:-0.5"}},
        {"1;x;y;0;1,500;12.5", ";", {"n:1", "t:x", "t:y", "n:0", "n:1500", "n:12.5"}},
        {"1;x;y;0;1.500;3", ";", {"n:1", "t:x", "t:y", "n:0", "?:1.500", "n:3"}},
        {"1;x;y;0;1.500,5;3.5", ";", {"n:1", "t:x", "t:y", "n:0", "n:1500.5", "n:3.5"}},
        {"1;x;y;1.500;1.500,5;3.5", ";", {"n:1", "t:x", "t:y", "?:1.500", "n:1500.5", "n:3.5"}},
        {"1;x;3.10;0;1.500;2,5", ";", {"n:1", "t:x", "t:3.10", "n:0", "n:1500", "n:2.5"}},
        {"1,x,y,0,1.500,\"1,500\"", ",", {"n:1", "t:x", "t:y", "n:0", "n:1.5", "n:1500"}},
        {"1;1.2.3;0.5;00;12.34.567;1e5", ";", {"n:1", "t:1.2.3", "n:0.5", "t:00", "t:12.34.567", "t:1e5"}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.fila);
        const QByteArray bytes = QByteArray("a;b;c;d;e;f").replace(';', c.separador) + '\n' + c.fila;
        const Libro libro = LeeLibro(bytes);
        const Hoja& h = libro.hojas.at(0);
        for (int col = 0; col < 6; ++col) {
            const Celda& celda = h.celda(2, col);
            const QString visto = celda.tipo == T::Numero ? QStringLiteral("n:") + QString::number(celda.numero, 'g', 12)
                                  : celda.dudoso          ? QStringLiteral("?:") + celda.texto
                                                          : QStringLiteral("t:") + celda.texto;
            EXPECT_EQ(visto, QString::fromUtf8(c.celdas[size_t(col)])) << "column " << col;
        }
    }
}

// Only the items' sheet is read, and in it the rows up to the first without an item number: other
// sheets, however large or damaged, and what follows the list cost nothing and are never refused.
TEST(Libros, SoloLaHojaDeMercanciasHastaSuFin) {
    for (const Hostil& hostil : Hostiles(false)) {
        SCOPED_TRACE(hostil.que);
        const Libro libro = LeeLibro(hostil.bytes);
        ASSERT_EQ(libro.hojas.size(), 1u);
        EXPECT_EQ(libro.hojas[0].nombre.toLower(), QStringLiteral("hoja1"));
        EXPECT_EQ(int(libro.hojas[0].filas.size()), hostil.filas);
        EXPECT_LE(libro.nombres.size(), 50);
    }
}

// Each hostile workbook read by a program of its own under a bound of its address space, as `ulimit -v`
// sets it: a few KB of file may not take the memory of the machine.
TEST(Libros, HostilesConMemoriaAcotada) {
    QTemporaryDir dir;
    for (const Hostil& hostil : Hostiles(true)) {
        SCOPED_TRACE(hostil.que);
        const QString ruta = dir.filePath(QString::fromLatin1(hostil.que).replace(u' ', u'-'));
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(hostil.bytes);
        f.close();
        QProcess p;
        p.start(QStringLiteral(LORUM_LEE_ACOTADO), {QStringLiteral("384"), ruta});
        ASSERT_TRUE(p.waitForFinished(120000));
        const QString salida = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0) << salida.toStdString() << p.readAllStandardError().toStdString();
        EXPECT_EQ(salida.trimmed().toLower().toStdString(), QStringLiteral("hoja1 %1").arg(hostil.filas).toStdString());
    }
}

// LibreOffice stores a true/false a formula gives as a number with a boolean style, or marks it as
// its own kind: read as the true/false it is, whether the style is the cell's or its column's.
TEST(Libros, LogicosDeOpenDocument) {
    const QByteArray contenido =
        "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
        "xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\" "
        "xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\">"
        "<office:automatic-styles><number:boolean-style style:name=\"N99\"><number:boolean/></number:boolean-style>"
        "<style:style style:name=\"ce5\" style:family=\"table-cell\" style:data-style-name=\"N99\"/>"
        "<style:style style:name=\"ce6\" style:family=\"table-cell\" style:parent-style-name=\"ce5\"/>"
        "</office:automatic-styles><office:body><office:spreadsheet><table:table table:name=\"Hoja1\">"
        "<table:table-column/><table:table-column table:default-cell-style-name=\"ce5\"/>"
        "<table:table-row><table:table-cell office:value-type=\"float\" office:value=\"1\"/>"
        "<table:table-cell table:formula=\"of:=TRUE()\" office:value-type=\"float\" office:value=\"1\"/>"
        "<table:table-cell table:style-name=\"ce6\" table:formula=\"of:=1&gt;2\" office:value-type=\"float\" office:value=\"0\"/>"
        "<table:table-cell table:formula=\"of:=1&gt;0\" office:value-type=\"float\" office:value=\"1\" calcext:value-type=\"boolean\"/>"
        "</table:table-row></table:table></office:spreadsheet></office:body></office:document-content>";
    const Libro libro = LeeLibro(Zip({{"content.xml", contenido}}));
    const Hoja& h = libro.hojas.at(0);
    EXPECT_EQ(h.celda(1, 0).tipo, T::Numero);
    for (int col = 1; col <= 3; ++col) {
        EXPECT_EQ(h.celda(1, col).tipo, T::Logico) << col;
        EXPECT_TRUE(h.celda(1, col).formula) << col;
    }
    EXPECT_EQ(h.celda(1, 2).numero, 0);
}

// A compound document of version 4 (sectors of 4096 bytes, the header taking the first) holds the
// same workbook as the version 3 one it is made from.
TEST(Libros, DocumentoCompuestoVersion4) {
    const QByteArray v3 = Lee(QStringLiteral("tipos-biff8.xls"));
    const QByteArray v4 = ComoVersion4(v3);
    const Libro a = LeeLibro(v3), b = LeeLibro(v4);
    ASSERT_EQ(b.hojas.size(), 1u);
    ASSERT_EQ(a.hojas[0].filas.size(), b.hojas[0].filas.size());
    for (const auto& [fila, celdas] : a.hojas[0].filas)
        for (int col = 0; col < Hoja::kColumnas; ++col) EXPECT_EQ(Describe(celdas[size_t(col)]), Describe(b.hojas[0].celda(fila, col)));
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
        {"a text of the shared table at 1e300", [&](QByteArray& d) { d = Xlsx({{"Hoja1", "<row><c t=\"s\"><v>1e300</v></c></row>"}}, {}); },
         "una celda usa un texto que el libro no tiene"},
        {"a sheet out of the stream", [&](QByteArray& d) {
             const qsizetype en = d.indexOf(QByteArray("\x85\x00", 2), 512);
             pon(d, en + 4, 0x7FFFFFF0);
         }, "fuera del libro"},
        {"a part altered inside the zip (its check sum no longer matches)", [&](QByteArray& d) {
             d = Xlsx({{"Hoja1", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"}}, {});
             const qsizetype en = d.indexOf("xl/worksheets/sheet1.xml");
             d[en + 30] = char(d[en + 30] ^ 0x55);
         }, "dañado"},
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
