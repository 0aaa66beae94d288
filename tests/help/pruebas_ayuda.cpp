// The considerations, about and comments windows, with the print dialog and the mail service replaced.
#include "DlgMail.h"
#include "InformeSistema.h"
#include "MensajesGuionados.h"
#include "Programas.h"
#include "ServicioCorreo.h"
#include "Auxiliares.h"
#include "frmAbout.h"
#include "frmayuda.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

using namespace lorum;
using namespace lorum::prueba;

namespace {

QString TextoDePdf(const QString& pdf) {
    return Corre(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

void Escribe(const QString& ruta, const QByteArray& bytes) {
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The print dialog answered: a PDF file, or a cancel when `ruta` is empty.
struct DialogoPdf {
    QString ruta;
    int veces = 0;
    bool seleccion = false;
    bool operator()(QPrinter& impresora, bool conSeleccion) {
        ++veces;
        seleccion = conSeleccion;
        if (ruta.isEmpty()) return false;
        impresora.setOutputFormat(QPrinter::PdfFormat);
        impresora.setOutputFileName(ruta);
        return true;
    }
};

}  // namespace

TEST(Consideraciones, MuestraAcomodaEImprimeElArchivo) {
    QTemporaryDir dir;
    const QString archivo = dir.filePath(QStringLiteral("considera.rtf"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(LORUM_DIR_DATOS "/considera.rtf"), archivo));
    MensajesGuionados mensajes;
    frmayuda w(archivo, mensajes);
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Consideraciones para el llenado de la Solicitud"));
    EXPECT_EQ(w.cmdImprimir->text(), QStringLiteral("&Imprime"));
    const QTextDocument& doc = *w.RTUltima->document();
    EXPECT_EQ(doc.firstBlock().text(), QStringLiteral("Consideraciones para el llenado de la Solicitud"));
    EXPECT_EQ(doc.firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_TRUE(doc.toPlainText().contains(QStringLiteral("Importar partidas de una hoja de cálculo")));

    // The layout, in twips of the window's inner size.
    const auto px = [&](int twips) { return qRound(twips * w.logicalDpiX() / 1440.0); };
    for (const QSize tam : {QSize(640, 480), QSize(900, 700), QSize(420, 300)}) {
        w.resize(tam);
        QApplication::processEvents();
        const int W = w.width(), H = w.height();
        EXPECT_EQ(w.RTUltima->geometry(), QRect(px(100), px(100), W - px(200), H - px(1000)));
        EXPECT_EQ(w.RTUltima->lineWrapColumnOrWidth(), w.RTUltima->width() - px(400));
        EXPECT_EQ(w.cmdImprimir->y(), H - px(700));
        EXPECT_EQ(w.Command->y(), H - px(700));
        EXPECT_LT(w.cmdImprimir->geometry().right(), w.Command->x()) << "print to the left of close";
    }

    DialogoPdf dialogo;
    w.EligeImpresora = std::ref(dialogo);
    QTest::mouseClick(w.cmdImprimir, Qt::LeftButton);  // cancelled: nothing printed
    EXPECT_EQ(dialogo.veces, 1);
    EXPECT_TRUE(dialogo.seleccion) << "the whole text is selected for printing";

    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP() << "pdftotext no disponible";
    dialogo.ruta = dir.filePath(QStringLiteral("consideraciones.pdf"));
    QTest::mouseClick(w.cmdImprimir, Qt::LeftButton);
    const QString impreso = TextoDePdf(dialogo.ruta).simplified();
    EXPECT_TRUE(impreso.startsWith(QStringLiteral("Consideraciones para el llenado de la Solicitud")))
        << impreso.left(80).toStdString();
    EXPECT_TRUE(
        impreso.contains(QStringLiteral("las partidas leídas se agregan a las que ya tenga la solicitud")));
    EXPECT_TRUE(mensajes.mostrados.empty());

    // A printer that cannot start says so.
    dialogo.ruta = dir.filePath(QStringLiteral("no/existe/consideraciones.pdf"));
    mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
    QTest::mouseClick(w.cmdImprimir, Qt::LeftButton);
    ASSERT_EQ(mensajes.mostrados.size(), 1u);
    EXPECT_EQ(mensajes.mostrados[0].texto, QStringLiteral("No se pudo imprimir: la impresora no respondió."));

    QTest::mouseClick(w.Command, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
}

TEST(Consideraciones, LaHojaImpresaGuardaSangriasYTabuladores) {
    // A hanging paragraph with a half-inch indent: the text after the tab and the wrapped line start
    // half an inch in from the dash, on paper as on the screen.
    QTemporaryDir dir;
    const QString archivo = dir.filePath(QStringLiteral("considera.rtf"));
    Escribe(archivo,
            "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20\\pard\\li720\\fi-720 -\\tab Primera" +
                QByteArray(" palabra").repeated(40) + " Ultima\\par}");
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP() << "pdftotext no disponible";
    MensajesGuionados mensajes;
    frmayuda w(archivo, mensajes);
    DialogoPdf dialogo{dir.filePath(QStringLiteral("sangria.pdf"))};
    w.EligeImpresora = std::ref(dialogo);
    w.ImprimeConsideraciones();
    // The words in reading order, with their left edge and top, in points.
    const QRegularExpression re(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    struct Palabra {
        double x, y;
        QString texto;
    };
    std::vector<Palabra> palabras;
    for (auto m = re.globalMatch(Corre(QStringLiteral("pdftotext"),
                                       {QStringLiteral("-bbox"), dialogo.ruta, QStringLiteral("-")}));
         m.hasNext();) {
        const auto c = m.next();
        palabras.push_back({c.captured(1).toDouble(), c.captured(2).toDouble(), c.captured(3)});
    }
    ASSERT_GT(palabras.size(), 3u);
    ASSERT_EQ(palabras[0].texto, QStringLiteral("-"));
    ASSERT_EQ(palabras[1].texto, QStringLiteral("Primera"));
    EXPECT_NEAR(palabras[0].x, 620 / 20.0, 1) << "the left margin, 620 twips from the sheet's edge";
    EXPECT_NEAR(palabras[1].x - palabras[0].x, 36, 2) << "the tab goes to the indent";
    const auto segunda = std::find_if(palabras.begin(), palabras.end(),
                                      [&](const Palabra& q) { return q.y > palabras[0].y + 1; });
    ASSERT_NE(segunda, palabras.end());
    EXPECT_NEAR(segunda->x - palabras[0].x, 36, 2) << "the wrapped line keeps the indent";
}

TEST(Consideraciones, SinArchivoAbreVaciaYCallada) {
    QTemporaryDir dir;
    const QString danado = dir.filePath(QStringLiteral("danado.rtf"));
    Escribe(danado, "{\\rtf1 {\\b cortado");
    for (const QString& archivo : {dir.filePath(QStringLiteral("considera.rtf")), dir.path(), danado}) {
        MensajesGuionados mensajes;  // any message fails the test
        frmayuda w(archivo, mensajes);
        w.show();
        DialogoPdf dialogo{dir.filePath(QStringLiteral("vacio.pdf"))};
        w.EligeImpresora = std::ref(dialogo);
        w.ImprimeConsideraciones();
        if (archivo == danado) {
            EXPECT_EQ(w.RTUltima->toPlainText(), QStringLiteral("cortado"));
        } else {
            EXPECT_TRUE(w.RTUltima->document()->isEmpty()) << archivo.toStdString();
            EXPECT_FALSE(dialogo.seleccion);
            EXPECT_EQ(TextoDePdf(dialogo.ruta).trimmed(), QString());
        }
    }
}

TEST(AcercaDe, TextosEInformacionDelSistema) {
    QTemporaryDir dir;
    MensajesGuionados mensajes;
    frmAbout w(dir.path(), dir.filePath(QStringLiteral("sin-disco")), mensajes);
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Acerca de LORUM"));
    EXPECT_EQ(w.lblVersion->text(), QStringLiteral("Version 1.0.9"));
    EXPECT_TRUE(w.Label1->text().startsWith(QStringLiteral("Informes al teléfono: ")));
    // No tool to start: where there is a registry the tool's own message, else our own report.
    w.BuscaHerramienta = [] { return QString(); };
    if (!InformePropio()) {
        mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
        QTest::mouseClick(w.cmdSysInfo, Qt::LeftButton);
        EXPECT_EQ(mensajes.Textos(), QStringList{QStringLiteral("System Information Is Unavailable At This Time")});
        EXPECT_EQ(w.findChild<frmInfoSistema*>(), nullptr);
        return;
    }
    QTest::mouseClick(w.cmdSysInfo, Qt::LeftButton);
    auto* info = w.findChild<frmInfoSistema*>();
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->isVisible());
    const QString texto = info->findChild<QPlainTextEdit*>()->toPlainText();
    const QString datos = QDir::toNativeSeparators(dir.path());
    EXPECT_TRUE(
        texto.contains(QStringLiteral("Directorio de datos: %1 (presente, se puede escribir, ").arg(datos)))
        << texto.toStdString();
    EXPECT_TRUE(
        texto.contains(QStringLiteral("Unidad de entrega: %1 (no existe)")
                           .arg(QDir::toNativeSeparators(dir.filePath(QStringLiteral("sin-disco"))))));
    EXPECT_TRUE(texto.contains(QStringLiteral("Qt: ") + QLatin1String(qVersion())));
    EXPECT_TRUE(texto.contains(QStringLiteral("versión 1.0.9")));
    info->close();

    // Where the platform names its tool, the tool starts and no window of ours opens.
    QStringList arrancadas;
    w.BuscaHerramienta = [] { return QStringLiteral("C:\\X\\MSINFO32.EXE"); };
    w.ArrancaHerramienta = [&](const QString& h) {
        arrancadas << h;
        return true;
    };
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTest::mouseClick(w.cmdSysInfo, Qt::LeftButton);
    EXPECT_EQ(arrancadas, QStringList{QStringLiteral("C:\\X\\MSINFO32.EXE")});
    EXPECT_EQ(w.findChild<frmInfoSistema*>(), nullptr);
    QTest::mouseClick(w.cmdOK, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
}

// The registry as Windows's own tool writes it: text, a number, a value or a key that is not there.
TEST(AcercaDe, ElRegistroSeLeeComoLoEscribeReg) {
    if (kPosix) GTEST_SKIP() << "no registry";
    const QString clave = QStringLiteral("SOFTWARE\\LORUM-prueba\\Shared Tools");
    const auto reg = [](const QStringList& argumentos) {
        QProcess p;
        p.start(QStringLiteral("reg"), argumentos);
        return p.waitForFinished(30000) && p.exitCode() == 0;
    };
    const QString completa = QStringLiteral("HKLM\\") + clave;
    ASSERT_TRUE(reg({"add", completa, "/v", "Path", "/t", "REG_SZ", "/d", "C:\\Archivos de programa\\Común\\MSINFO32.EXE", "/f"}));
    ASSERT_TRUE(reg({"add", completa, "/v", "Veces", "/t", "REG_DWORD", "/d", "42", "/f"}));
    EXPECT_EQ(GetKeyValue(clave, QStringLiteral("Path")), QStringLiteral("C:\\Archivos de programa\\Común\\MSINFO32.EXE"));
    EXPECT_EQ(GetKeyValue(clave, QStringLiteral("Veces")), QStringLiteral("42"));
    EXPECT_EQ(GetKeyValue(clave, QStringLiteral("Otro")), std::nullopt);
    EXPECT_EQ(GetKeyValue(QStringLiteral("SOFTWARE\\LORUM-prueba\\Nada"), QStringLiteral("Path")), std::nullopt);
    EXPECT_TRUE(reg({"delete", QStringLiteral("HKLM\\SOFTWARE\\LORUM-prueba"), "/f"}));
}

TEST(AcercaDe, DondeEstaLaHerramientaDeInformacion) {
    const QString kRuta = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
    const QString kLugar = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
    const struct {
        std::optional<QString> ruta, carpeta;
        bool existe;
        QString herramienta;
    } casos[] = {
        {QStringLiteral("C:\\X\\MSINFO32.EXE"), QStringLiteral("C:\\Y"), true,
         QStringLiteral("C:\\X\\MSINFO32.EXE")},
        {QString(), QStringLiteral("C:\\Y"), true, QStringLiteral("C:\\Y\\MSINFO32.EXE")},
        {std::nullopt, QStringLiteral("C:\\Y\\"), true, QStringLiteral("C:\\Y\\MSINFO32.EXE")},
        {std::nullopt, QStringLiteral("C:\\Y"), false, QString()},
        {std::nullopt, std::nullopt, true, QString()},
    };
    for (const auto& c : casos) {
        const auto lee = [&](const QString& clave, const QString& valor) -> std::optional<QString> {
            if (clave == kRuta && valor == QStringLiteral("PATH")) return c.ruta;
            if (clave == kLugar && valor == QStringLiteral("MSINFO")) return c.carpeta;
            return std::nullopt;
        };
        EXPECT_EQ(BuscaInfoSistema(lee, [&](const QString&) { return c.existe; }), c.herramienta);
    }
    EXPECT_EQ(GetKeyValue(kRuta, QStringLiteral("PATH")), std::nullopt) << "no registry here";
}

namespace {

class CorreoFalso : public ServicioCorreo {
  public:
    bool Envia(const QString& destinatario, const QString& asunto, const QString& cuerpo,
               QString* motivo) override {
        enviados.push_back({destinatario, asunto, cuerpo});
        EXPECT_FALSE(ventana && ventana->isEnabled()) << "the window waits, disabled, while the mail is sent";
        if (!falla) return true;
        *motivo = QStringLiteral("este equipo no tiene un servicio de correo (sendmail)");
        return false;
    }
    bool falla = false;
    QWidget* ventana = nullptr;
    std::vector<std::array<QString, 3>> enviados;
};

}  // namespace

TEST(Comentarios, EnviaYCierraOAvisaYConservaElTexto) {
    const QString direccion = QString::fromUtf16(kDireccionComentarios);
    const struct {
        QString texto;
        bool falla;
    } casos[] = {{QStringLiteral("La ventana de países\nno muestra «Ñ» ni €."), false},
                 {QString(), false},
                 {QStringLiteral("no llega"), true}};
    for (const auto& c : casos) {
        MensajesGuionados mensajes;
        CorreoFalso correo;
        correo.falla = c.falla;
        DlgMail w(correo, mensajes);
        correo.ventana = &w;
        w.show();
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Comentarios"));
        EXPECT_EQ(w.Label4->text(), direccion);
        w.TxtMsg->setPlainText(c.texto);
        if (c.falla) mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
        QTest::mouseClick(w.cmdSendMail, Qt::LeftButton);
        ASSERT_EQ(correo.enviados.size(), 1u);
        EXPECT_EQ(correo.enviados[0][0], direccion);
        EXPECT_EQ(correo.enviados[0][1], QStringLiteral("Comentarios sobre el disco de captura LORUM"));
        EXPECT_EQ(correo.enviados[0][2], c.texto);
        EXPECT_EQ(w.isVisible(), c.falla) << "closes only once sent";
        if (c.falla) {
            ASSERT_EQ(mensajes.mostrados.size(), 1u);
            EXPECT_TRUE(mensajes.mostrados[0].texto.contains(direccion));
            EXPECT_TRUE(mensajes.mostrados[0].texto.contains(QStringLiteral("sendmail")));
            EXPECT_EQ(w.TxtMsg->toPlainText(), c.texto);
            EXPECT_TRUE(w.isEnabled());
            QTest::mouseClick(w.CancelButton, Qt::LeftButton);
            EXPECT_FALSE(w.isVisible());
            EXPECT_EQ(correo.enviados.size(), 1u);
        }
    }
}
