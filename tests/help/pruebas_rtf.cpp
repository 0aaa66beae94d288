// The RTF reader: constructs, damaged input, and the text of files written by independent word
// processors compared with what Debian's unrtf reads from them (checked in by tests/help/rtf/genera.sh).
#include "DocumentoRtf.h"
#include "ImprimeQt.h"
#include "LectorRtf.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>

using namespace lorum;

namespace {

QString Plano(const char* rtf) {
    return TextoPlano(LeeRtf(QByteArray(rtf)));
}

QByteArray Lee(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The words of a text. unrtf's text mode prints no bullets.
QStringList Palabras(QString texto) {
    texto.remove(QChar(0x2022));
    return texto.split(
        QRegularExpression(QStringLiteral("\\s+"), QRegularExpression::UseUnicodePropertiesOption),
        Qt::SkipEmptyParts);
}

// unrtf prints "?" for every character it cannot write in Latin-1.
bool MismaPalabra(const QString& nuestra, const QString& deUnrtf) {
    if (nuestra.size() != deUnrtf.size()) return false;
    for (qsizetype i = 0; i < nuestra.size(); ++i)
        if (nuestra[i] != deUnrtf[i] && !(deUnrtf[i] == u'?' && nuestra[i].unicode() > 0x7F)) return false;
    return true;
}

}  // namespace

TEST(LectorRtf, Construcciones) {
    const struct {
        const char* rtf;
        const char* texto;
    } casos[] = {
        {R"({\rtf1 Hola\par mundo\par})", "Hola\nmundo\n"},
        {R"({\rtf1 sin fin de p\'e1rrafo})", "sin fin de párrafo\n"},
        {R"({\rtf1\ansi uno\line dos\tab tres\par})", "uno\ndos\ttres\n"},
        {R"({\rtf1 a{\b negrita}b\par})", "anegritab\n"},
        {R"({\rtf1 \\ \{ \} x\~y a\-b\par})", "\\ { } x\u00A0y ab\n"},
        {"{\\rtf1 uno\\\r\ndos}", "uno\ndos\n"},
        {"{\\rtf1 l\xednea cruda en el archivo}", "l\u00EDnea cruda en el archivo\n"},
        {R"({\rtf1\ansi\ansicpg1252 \'80 \'93x\'94 \'bfs\'ed?})", "€ “x” ¿sí?\n"},
        {R"({\rtf1\pc \'a4\'a0})", "ñá\n"},
        {R"({\rtf1\ansi\ansicpg1251 \'c4\'e0})", "Да\n"},
        {R"({\rtf1 \u241?and\'fa \uc2\u8364 EU x\uc0\u8220 y})", "ñandú € x“y\n"},
        {R"({\rtf1 \u-3913?\u-8448?\u55357\'3f\u56832\'3f})", "\uF0B7\uFFFD😀\n"},
        {R"({\rtf1 {\u233\'e9}\'e9})", "éé\n"},
        {R"({\rtf1{\fonttbl{\f0\froman Times;}}{\colortbl;\red1\green2\blue3;}{\stylesheet{\s0 Normal;}})"
         R"({\info{\title T\'edtulo}{\author Yo}}{\*\generator Writer;}{\header Cabeza}{\footer Pie})"
         R"({\pict\wmetafile8 0102ff}{\*\shppict x}{\object y}texto\par})",
         "texto\n"},
        {R"({\rtf1 {\field{\*\fldinst HYPERLINK "http://x"}{\fldrslt enlace}}\par})", "enlace\n"},
        {R"({\rtf1 a\bin3 {}}b})", "ab\n"},
        {R"({\rtf1 \bullet\tab uno\emdash dos\endash tres\lquote x\rquote\ldblquote y\rdblquote})",
         "•\tuno—dos–tres‘x’“y”\n"},
        {R"({\rtf1 a\cell b\cell\row c\cell\row\par})", "a\tb\t\nc\t\n\n"},
        {R"({\rtf1 texto\par}basura despu\'e9s)", "texto\n"},
        {R"({\rtf1 a\'0d\'0a\u10 ?\u8233 ?b})", "a\nb\n"},
    };
    for (const auto& c : casos) EXPECT_EQ(Plano(c.rtf), QString::fromUtf8(c.texto)) << c.rtf;
}

TEST(LectorRtf, FormatosYAlineacion) {
    const DocumentoRtf d = LeeRtf(QByteArray(
        R"({\rtf1\ansi\deff1{\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1\fmodern Courier New;}{\f2\froman{\*\panose 02}T\u237?mes;}})"
        R"(\pard\qc\sa120 {\b\fs32 T}{\i i}{\ul u}\ulnone n\par)"
        R"(\pard\li720\fi-360\qj\f0 j\b b\b0\f2 t\plain p\par)"
        R"(\qr\tx2000\tx100 r\par\pard l\par})"));
    ASSERT_EQ(d.parrafos.size(), 4);
    const ParrafoRtf& p0 = d.parrafos[0];
    EXPECT_EQ(p0.alineacion, AlineacionRtf::Centro);
    EXPECT_EQ(p0.espacioDespues, 120);
    ASSERT_EQ(p0.tramos.size(), 4);
    EXPECT_TRUE(p0.tramos[0].negrita);
    EXPECT_EQ(p0.tramos[0].medioPuntos, 32);
    EXPECT_EQ(p0.tramos[0].fuente, QStringLiteral("Courier New"));
    EXPECT_EQ(p0.tramos[0].familia, FamiliaRtf::Fija);
    EXPECT_TRUE(p0.tramos[1].cursiva && !p0.tramos[1].negrita);
    EXPECT_TRUE(p0.tramos[2].subrayado);
    EXPECT_FALSE(p0.tramos[3].subrayado);
    const ParrafoRtf& p1 = d.parrafos[1];
    EXPECT_EQ(p1.alineacion, AlineacionRtf::Justificada);
    EXPECT_EQ(p1.sangriaIzq, 720);
    EXPECT_EQ(p1.primeraLinea, -360);
    ASSERT_EQ(p1.tramos.size(), 4);
    EXPECT_EQ(p1.tramos[0].fuente, QStringLiteral("Arial"));
    EXPECT_TRUE(p1.tramos[1].negrita);
    EXPECT_EQ(p1.tramos[2].fuente, QStringLiteral("Tímes"));
    EXPECT_EQ(p1.tramos[3].fuente, QStringLiteral("Courier New")) << "\\plain goes back to the default font";
    EXPECT_EQ(d.parrafos[2].alineacion, AlineacionRtf::Derecha);
    EXPECT_EQ(d.parrafos[3].alineacion, AlineacionRtf::Izquierda);

    // The same in a text document: block alignment and indents in the device's pixels, character formats.
    QTextDocument doc;
    LlenaDocumento(doc, d, 1440);  // one pixel per twip
    ASSERT_EQ(doc.blockCount(), 4);
    const QTextBlock b0 = doc.firstBlock(), b1 = b0.next();
    EXPECT_EQ(b0.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(b1.blockFormat().leftMargin(), 720);
    EXPECT_EQ(b1.blockFormat().textIndent(), -360);
    const auto paradas = [](const QTextBlock& b) {
        QList<qreal> p;
        for (const QTextOption::Tab& t : b.blockFormat().tabPositions()) p << t.position;
        return p;
    };
    EXPECT_EQ(paradas(b1), QList<qreal>{720}) << "a hanging paragraph's tab goes to its indent";
    EXPECT_EQ(paradas(b1.next()), (QList<qreal>{100, 720, 2000}));
    const QTextCharFormat t = b0.begin().fragment().charFormat();
    EXPECT_EQ(t.fontPointSize(), 16);
    EXPECT_EQ(t.fontWeight(), QFont::Bold);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("Tiun\njbtp\nr\nl"));
}

TEST(LectorRtf, UnArchivoDanadoDaElTextoLeidoSinFallar) {
    const struct {
        QByteArray rtf;
        const char* texto;
    } casos[] = {
        {"", ""},
        {"texto sin RTF", "texto sin RTF\n"},
        {R"({\rtf1 abierto {\b sin cerrar)", "abierto sin cerrar\n"},
        {R"(}}} {\rtf1 de m\'e1s}}})", " de más\n"},
        {R"({\rtf1 cortado en \)", "cortado en \n"},
        {R"({\rtf1 cortado en \'e)", "cortado en \n"},
        {R"({\rtf1 \fs99999999999999999999 grande\u99999999999999999999 ?x})", "grande\uFFFDx\n"},
        {R"({\rtf1 {\uc999999999\u65 abc} d})", "A d\n"},
        {R"({\rtf1 \bin999999999 nada})", ""},
        {R"({\rtf1 \abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz1 ok})", "ok\n"},
        {R"({\rtf1\ansicpg12345 \'e9})", "é\n"},
        {QByteArray(100000, '{') + "hondo" + QByteArray(100000, '}'), "hondo\n"},
        {QByteArray("{\\rtf1 a\0b}", 11), "ab\n"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(TextoPlano(LeeRtf(c.rtf)), QString::fromUtf8(c.texto)) << c.rtf.left(80).constData();
}

TEST(LectorRtf, ElMismoTextoQueUnrtfEnArchivosDeOtrosProgramas) {
    const QString rtf = QStringLiteral(LORUM_DIR_RTF);
    const struct {
        QString archivo, referencia;
    } casos[] = {
        {QStringLiteral(LORUM_DIR_DATOS "/considera.rtf"), rtf + QStringLiteral("/considera.unrtf.txt")},
        {rtf + QStringLiteral("/pandoc.rtf"), rtf + QStringLiteral("/pandoc.unrtf.txt")},
        {rtf + QStringLiteral("/abiword.rtf"), rtf + QStringLiteral("/abiword.unrtf.txt")},
    };
    for (const auto& c : casos) {
        const QStringList nuestras = Palabras(TextoPlano(LeeRtf(Lee(c.archivo))));
        const QStringList suyas = Palabras(QString::fromUtf8(Lee(c.referencia)));
        ASSERT_GT(suyas.size(), 10) << c.referencia.toStdString();
        const qsizetype n = std::min(nuestras.size(), suyas.size());
        qsizetype i = 0;
        while (i < n && MismaPalabra(nuestras[i], suyas[i])) ++i;
        EXPECT_EQ(i, suyas.size()) << c.archivo.toStdString() << ": word " << i << " reads «"
                                   << (i < nuestras.size() ? nuestras[i] : QString()).toStdString()
                                   << "», unrtf «" << (i < suyas.size() ? suyas[i] : QString()).toStdString()
                                   << "»";
        EXPECT_EQ(nuestras.size(), suyas.size()) << c.archivo.toStdString();
    }
}
