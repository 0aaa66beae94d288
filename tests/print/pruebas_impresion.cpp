// The printing services and the print window, printing to PDF; pdfinfo and pdftotext read the pages.
#include "Auxiliares.h"
#include "Form2.h"
#include "GeneradorDatos.h"
#include "MensajesGuionados.h"
#include "OrigenDatos.h"
#include "Programas.h"
#include "ServiciosImpresion.h"

#include <QPrinter>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

using namespace lorum;
using namespace lorum::prueba;

namespace {

int Paginas(const QString& pdf) {
    const QString info = Corre(QStringLiteral("pdfinfo"), {pdf});
    for (const QString& l : info.split(u'\n'))
        if (l.startsWith(QLatin1String("Pages:"))) return l.mid(6).trimmed().toInt();
    return -1;
}

}  // namespace

TEST(Impresion, BucleDePaginasYRectangulos) {
    const struct {
        int largo;
        int porPagina;  // characters the fake renderer fits on a page; 0: none at all
        int paginas;
    } casos[] = {{0, 100, 1}, {80, 100, 1}, {250, 100, 3}, {300, 100, 3}, {250, 0, 1}};
    for (const auto& k : casos) {
        QList<int> comienzos;
        const int paginas = RecorrePaginas(
            k.largo, [&](int desde) { comienzos << desde; return std::min(k.largo, desde + k.porPagina); }, [] {});
        EXPECT_EQ(paginas, k.paginas) << k.largo << "/" << k.porPagina;
        for (int i = 0; i < comienzos.size(); ++i) EXPECT_EQ(comienzos[i], i * k.porPagina) << "each page starts where the last stopped";
    }
    // Letter paper (8.5 x 11 inches), a printable area a quarter inch in from the left and the top.
    const DatosImpresora carta{12240, 15840, 11520, 15120, 360, 360};
    EXPECT_EQ(AnchoDeLinea(carta, 180, 180), 12240 - 360);
    const Rectangulos r = RectangulosDeImpresion(carta, 620, 620, 620, 420);
    EXPECT_EQ(r.dibujo, QRect(QPoint(260, 260), QPoint(12240 - 620 - 360, 15840 - 420 - 360)));
    EXPECT_EQ(r.pagina, QRect(QPoint(0, 0), QPoint(11520, 15120 - 200)));
}

TEST(Impresion, UnTextoLargoSeImprimeEnVariasPaginasSinPerderLineas) {
    QTemporaryDir dir;
    for (const int lineas : {3, 300}) {
        QTextDocument documento;
        QStringList texto;
        for (int i = 1; i <= lineas; ++i) texto << QStringLiteral("Linea %1").arg(i);
        documento.setPlainText(texto.join(u'\n'));
        QPrinter impresora(QPrinter::HighResolution);
        impresora.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = dir.filePath(QStringLiteral("l%1.pdf").arg(lineas));
        impresora.setOutputFileName(pdf);
        const int paginas = ImprimeRTF(documento, impresora, 620, 620, 620, 420);
        if (Paginas(pdf) < 0) GTEST_SKIP() << "pdfinfo no disponible";
        EXPECT_EQ(Paginas(pdf), paginas);
        EXPECT_EQ(paginas > 1, lineas == 300) << lineas;
        // Page after page, the first line follows the last one of the page before.
        int ultima = 0;
        for (int p = 1; p <= paginas; ++p) {
            const QStringList leidas = Corre(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(p),
                                                                           QStringLiteral("-l"), QString::number(p), pdf, QStringLiteral("-")})
                                           .split(u'\n', Qt::SkipEmptyParts);
            QList<int> numeros;
            for (const QString& l : leidas)
                if (l.trimmed().startsWith(QLatin1String("Linea "))) numeros << l.trimmed().mid(6).toInt();
            ASSERT_FALSE(numeros.isEmpty()) << "page " << p;
            EXPECT_EQ(numeros.front(), ultima + 1) << "page " << p;
            ultima = numeros.back();
        }
        EXPECT_EQ(ultima, lineas);
    }
}

TEST(Impresion, LaVentanaImprimeLaSolicitudEnPdf) {
    QTemporaryDir dir;
    PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), dir.path());
    Cursor e = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.5;"), QStringLiteral("empresas"));
    e.AddNew();
    e.SetValor(0, QStringLiteral("PEGJ800101AB1"));
    e.SetValor(1, QStringLiteral("PEÑA"));
    e.Update();
    // A line end typed in a long text is stored as CR LF: one line end on the preview and the paper.
    Cursor s = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.5;"), QStringLiteral("lorums"));
    s.AddNew();
    s.SetValor(u"just", QStringLiteral("PRIMERA LINEA\r\nSEGUNDA LINEA"));
    s.Update();
    MensajesGuionados mensajes;
    Form2 f(dir.path(), {QStringLiteral("PERMISO"), {}, {}, {}, {}, QStringLiteral("01011001")}, mensajes);
    f.Reloj = [] { return QDate(2026, 12, 5); };
    const QString pdf = dir.filePath(QStringLiteral("forma.pdf"));
    f.EligeImpresora = [&](QPrinter& impresora) {
        impresora.setOutputFormat(QPrinter::PdfFormat);
        impresora.setOutputFileName(pdf);
        return true;
    };
    // Tab visits what stands on screen in its order.
    QWidget* w = f.rtfText;
    for (QPushButton* siguiente : {f.Command3, f.Command4, f.Command1, f.Command2}) {
        do w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        EXPECT_EQ(w, siguiente) << qPrintable(siguiente->text());
    }
    f.Command3->click();
    EXPECT_FALSE(f.Command3->isEnabled()) << "the preview works once per opening";
    EXPECT_TRUE(f.rtfText->toPlainText().startsWith(QStringLiteral("SECRETARIA DE TALVEROS")));
    EXPECT_EQ(f.rtfText->document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(f.rtfText->document()->lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_TRUE(f.rtfText->toPlainText().contains(QStringLiteral("PRIMERA LINEA\nSEGUNDA LINEA"))) << f.rtfText->toPlainText().toStdString();
    mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
    f.Command1->click();
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("Impresión realizada"));
    EXPECT_EQ(mensajes.mostrados.back().titulo, QStringLiteral("Impresión de Forma"));
    const QString leido = Corre(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (leido.isEmpty()) GTEST_SKIP() << "pdftotext no disponible";
    for (const char* dice : {"SECRETARIA DE TALVEROS", "RFC: PEGJ800101AB1", "FECHA 5 DE diciembre DE 2026.", "FIRMA____"})
        EXPECT_TRUE(leido.contains(QString::fromUtf8(dice))) << dice;

    // An item that cannot be laid out: "Solicitud incompleta ", nothing printed.
    Cursor m = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.6;"), QStringLiteral("mercanci"));
    m.AddNew();
    m.SetValor(1, 1);
    m.Update();
    mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
    f.Command1->click();
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("Solicitud incompleta "));
    EXPECT_TRUE(mensajes.mostrados.back().titulo.isEmpty());

    // A table that cannot be read behind the window (a stick pulled out, a damaged file): each
    // command says so and ends as for an incomplete request; the program goes on.
    f.EligePdf = [&](const QString&) { return dir.filePath(QStringLiteral("otra.pdf")); };
    for (QPushButton* boton : {f.Command1, f.Command4}) {
        EscribeBytes(dir.filePath("empresas.dbf"), "dañado");
        mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
        mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
        boton->click();
        ASSERT_GE(mensajes.mostrados.size(), 2u);
        EXPECT_TRUE(mensajes.mostrados[mensajes.mostrados.size() - 2].texto.contains(QStringLiteral("empresas.dbf")));
        EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("Solicitud incompleta "));
    }
}

// "Guardar PDF..." writes the pages "Imprimir" prints; no item's block is split across two pages and
// no line is lost or doubled.
TEST(Impresion, GuardarPdfConLasPartidasEnterasEnCadaPagina) {
    QTemporaryDir dir;
    PreparaDirectorioDatos(QStringLiteral(LORUM_DIR_CATALOGOS), dir.path());
    Cursor e = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.5;"), QStringLiteral("empresas"));
    e.AddNew();
    e.SetValor(0, QStringLiteral("PEGJ800101AB1"));
    e.Update();
    Cursor m = AbreCursor(dir.path(), QStringLiteral("FoxPro 2.6;"), QStringLiteral("mercanci"));
    for (int i = 1; i <= 60; ++i) {
        m.AddNew();
        m.SetValor(1, i);
        m.SetValor(3, QStringLiteral("01011001"));
        // Some descriptions wrap over several lines, so that blocks differ in height.
        m.SetValor(4, QStringLiteral("DESCRIPCION %1 ").arg(i) + QString(i % 4 == 0 ? 200 : 10, u'X'));
        m.SetValor(6, QStringLiteral("PIEZA"));
        m.SetValor(7, 2.0);
        m.SetValor(8, 5.0);
        m.SetValor(9, 10.0);
        m.Update();
    }
    MensajesGuionados mensajes;
    Form2 f(dir.path(), {QStringLiteral("PERMISO"), {}, {}, {}, {}, QStringLiteral("01011001")}, mensajes);
    f.Reloj = [] { return QDate(2026, 12, 5); };
    const QString pdf = dir.filePath(QStringLiteral("solicitud.pdf"));
    QString propuesto;
    f.EligePdf = [&](const QString& p) {
        propuesto = p;
        return dir.filePath(QStringLiteral("solicitud"));  // the extension is added
    };
    mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
    f.Command4->click();
    EXPECT_TRUE(propuesto.endsWith(QStringLiteral("/solicitud-PEGJ800101AB1-2026-12-05.pdf"))) << propuesto.toStdString();
    ASSERT_EQ(mensajes.mostrados.size(), 1u);
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("Impresión realizada"));
    const int paginas = Paginas(pdf);
    if (paginas < 0) GTEST_SKIP() << "pdfinfo no disponible";
    ASSERT_GT(paginas, 3);
    int siguiente = 1;
    for (int p = 1; p <= paginas; ++p) {
        const QStringList lineas = Corre(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(p),
                                                                       QStringLiteral("-l"), QString::number(p), pdf, QStringLiteral("-")})
                                       .split(u'\n');
        int encabezados = 0, precios = 0;
        for (const QString& l : lineas) {
            encabezados += l.trimmed().startsWith(QLatin1String("Partida")) && l.contains(QLatin1String("Cantidad"));
            precios += l.trimmed() == QLatin1String("Unitario");
            if (l.trimmed().startsWith(QLatin1String("DESCRIPCION "))) {
                EXPECT_EQ(l.trimmed().section(u' ', 1, 1).toInt(), siguiente) << "page " << p;
                ++siguiente;
            }
        }
        EXPECT_EQ(encabezados, precios) << "page " << p << ": an item's block is split";
    }
    EXPECT_EQ(siguiente, 61) << "every item once";

    // A folder that cannot be written: said, and no "Impresión realizada".
    f.EligePdf = [&](const QString&) { return dir.filePath(QStringLiteral("no/hay/carpeta.pdf")); };
    mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
    f.GuardaPdf();
    EXPECT_TRUE(mensajes.mostrados.back().texto.startsWith(QStringLiteral("No se pudo guardar el PDF"))) << mensajes.mostrados.back().texto.toStdString();
}
