#include "Form2.h"

#include "ServicioMensajes.h"
#include "ServiciosImpresion.h"

#include "ErrorTabla.h"
#include "OrigenDatos.h"
#include "Resguardo.h"

#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QRegularExpression>
#include <QShortcut>
#include <QStandardPaths>
#include <QHBoxLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

namespace lorum {

namespace {

constexpr int kMargen = 720;  // half an inch around the printed form, in twips

QFont FuenteFija() {
    QFont f(QStringLiteral("Courier New"), 10);
    f.setStyleHint(QFont::TypeWriter);
    if (!QFontInfo(f).fixedPitch()) f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    return f;
}

}  // namespace

Form2::Form2(const QString& datos, const TextosDeForma& textos, ServicioMensajes& mensajes, QWidget* padre)
    : QDialog(padre), rtfText(new QTextEdit(this)), Command1(new QPushButton(QStringLiteral("&Imprimir"), this)),
      Command2(new QPushButton(QStringLiteral("Cerrar"), this)), Command3(new QPushButton(QStringLiteral("Vista Previa"), this)),
      Command4(new QPushButton(QStringLiteral("Guardar &PDF..."), this)),
      datos_(datos), textos_(textos), mensajes_(mensajes) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Impresión"));
    rtfText->setObjectName(QStringLiteral("rtfText"));
    rtfText->setReadOnly(true);
    rtfText->setFont(FuenteFija());
    rtfText->setAccessibleName(QStringLiteral("Solicitud a imprimir"));
    auto* capa = new QVBoxLayout(this);
    capa->addWidget(rtfText, 1);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    for (QPushButton* b : {Command3, Command4, Command1, Command2}) botones->addWidget(b);
    Command4->setObjectName(QStringLiteral("Command4"));
    Command4->setToolTip(QStringLiteral("Guarda la solicitud impresa como PDF (%1)").arg(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P).toString(QKeySequence::NativeText)));
    auto* pdf = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), this);
    // Every command runs through the guard: a table that cannot be read ends it with a message,
    // never the program.
    auto guardado = [this](void (Form2::*orden)()) {
        return [this, orden] { Resguarda(&mensajes_, [this, orden] { (this->*orden)(); }); };
    };
    connect(pdf, &QShortcut::activated, this, guardado(&Form2::GuardaPdf));
    capa->addLayout(botones);
    // Tab follows the screen: the text, then the buttons from left to right.
    setTabOrder(rtfText, Command3);
    setTabOrder(Command3, Command4);
    setTabOrder(Command4, Command1);
    setTabOrder(Command1, Command2);
    resize(760, 640);
    EligeImpresora = [this](QPrinter& impresora) {
        QPrintDialog dialogo(&impresora, this);
        dialogo.setOption(QAbstractPrintDialog::PrintPageRange, false);
        return dialogo.exec() == QDialog::Accepted;
    };
    connect(Command3, &QPushButton::clicked, this, guardado(&Form2::VistaPrevia));
    connect(Command1, &QPushButton::clicked, this, guardado(&Form2::Imprime));
    connect(Command4, &QPushButton::clicked, this, guardado(&Form2::GuardaPdf));
    EligePdf = [this](const QString& propuesto) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Guardar PDF"), propuesto, QStringLiteral("Documentos PDF (*.pdf)"));
    };
    connect(Command2, &QPushButton::clicked, this, &QDialog::close);
}

FormaImpresa Form2::FormateaInf() const { return lorum::FormateaInf(datos_, textos_, Reloj()); }

bool Form2::Muestra() {
    FormaImpresa f;
    try {
        f = FormateaInf();
    } catch (const ErrorTabla& e) {
        // A table that cannot be read (a folder on a stick pulled out, a damaged file): said, and
        // the command ends as for an incomplete request.
        mensajes_.Muestra(e.mensaje(), QStringLiteral("Impresión de Forma"), ServicioMensajes::Botones::Aceptar,
                          ServicioMensajes::Icono::Exclamacion);
        f.completa = false;
    }
    for (const QString& aviso : f.avisos)
        mensajes_.Muestra(aviso, QStringLiteral("Informacion incompleta"), ServicioMensajes::Botones::Aceptar,
                          ServicioMensajes::Icono::Informacion);
    if (!f.completa) {
        mensajes_.Muestra(QStringLiteral("Solicitud incompleta "), QString(), ServicioMensajes::Botones::Aceptar,
                          ServicioMensajes::Icono::Ninguno);
        return false;
    }
    // LF, CR and CR LF (a line end typed in a long text) each end one paragraph; VT breaks a line
    // inside one. Positions in the form's text map to the shorter text, for the items' blocks.
    QString texto;
    texto.reserve(f.texto.size());
    std::vector<int> en(size_t(f.texto.size()) + 1);
    for (qsizetype i = 0; i < f.texto.size(); ++i) {
        en[size_t(i)] = int(texto.size());
        const QChar ch = f.texto[i];
        if (ch == u'\r' && i + 1 < f.texto.size() && f.texto[i + 1] == u'\n') continue;
        texto += ch == u'\r' ? QChar(u'\n') : ch == u'\v' ? QChar(QChar::LineSeparator) : ch;
    }
    en.back() = int(texto.size());
    auto posicion = [&](qsizetype p) { return en[size_t(std::clamp<qsizetype>(p, 0, f.texto.size()))]; };
    rtfText->setPlainText(texto);
    bloques_.clear();
    for (const auto& [desde, hasta] : f.bloques) bloques_.emplace_back(posicion(desde), posicion(hasta));
    // The header, as many characters as it has, is centred; the rest keeps the left alignment.
    QTextCursor c(rtfText->document());
    c.setPosition(0);
    c.setPosition(posicion(f.encabezado.size()), QTextCursor::KeepAnchor);
    QTextBlockFormat centrado;
    centrado.setAlignment(Qt::AlignHCenter);
    c.mergeBlockFormat(centrado);
    return true;
}

void Form2::VistaPrevia() {
    Command3->setEnabled(false);  // once per opening of the window
    Muestra();
}

void Form2::Imprime() {
    if (!Muestra()) return;
    QPrinter impresora(QPrinter::HighResolution);
    if (!EligeImpresora || !EligeImpresora(impresora)) return;
    // The design prints nothing and says nothing when the printer fails; the user is told instead.
    ImprimeEn(impresora, QStringLiteral("No se pudo imprimir: la impresora no respondió."));
}

QString Form2::NombrePdf() const {
    QString rfc;
    try {
        Cursor e = AbreCursor(datos_, QStringLiteral("FoxPro 2.5;"), QStringLiteral("empresas"));
        if (!e.Eof()) rfc = e.Valor(0).toString().trimmed();
    } catch (const ErrorTabla&) {
    }
    rfc.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9&ÑñÜü]")));
    const QString nombre = QStringLiteral("solicitud-%1%2.pdf").arg(rfc.isEmpty() ? QString() : rfc + u'-', Reloj().toString(QStringLiteral("yyyy-MM-dd")));
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(nombre);
}

void Form2::GuardaPdf() {
    if (!Muestra()) return;
    QString archivo = EligePdf ? EligePdf(NombrePdf()) : QString();
    if (archivo.isEmpty()) return;
    if (!archivo.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) archivo += QStringLiteral(".pdf");
    QPrinter impresora(QPrinter::HighResolution);
    impresora.setOutputFormat(QPrinter::PdfFormat);
    impresora.setOutputFileName(archivo);
    ImprimeEn(impresora, QStringLiteral("No se pudo guardar el PDF «%1»: revise que la carpeta exista y se pueda escribir.")
                             .arg(QDir::toNativeSeparators(archivo)));
}

void Form2::ImprimeEn(QPrinter& impresora, const QString& fallo) {
    std::unique_ptr<QTextDocument> copia(rtfText->document()->clone());
    copia->setDefaultFont(rtfText->font());
    if (ImprimeRTF(*copia, impresora, kMargen, kMargen, kMargen, kMargen, bloques_) == 0) {
        mensajes_.Muestra(fallo, QStringLiteral("Impresión de Forma"), ServicioMensajes::Botones::Aceptar, ServicioMensajes::Icono::Exclamacion);
        return;
    }
    mensajes_.Muestra(QStringLiteral("Impresión realizada"), QStringLiteral("Impresión de Forma"), ServicioMensajes::Botones::Aceptar,
                      ServicioMensajes::Icono::Informacion);
}

}  // namespace lorum
