#include "frmAbout.h"

#include "Resguardo.h"
#include "InformeSistema.h"
#include "ServicioMensajes.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>

namespace lorum {

namespace {

constexpr char kVersion[] = LORUM_VERSION;

QLabel* Etiqueta(const char* nombre, const QString& texto, QWidget* padre) {
    auto* l = new QLabel(texto, padre);
    l->setObjectName(QLatin1String(nombre));
    l->setWordWrap(true);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

}  // namespace

frmAbout::frmAbout(const QString& rutaDatos, const QString& unidadA, ServicioMensajes& mensajes,
                   QWidget* padre)
    : QDialog(padre), rutaDatos_(rutaDatos), unidadA_(unidadA), mensajes_(mensajes) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Acerca de LORUM"));
    lblDescripcion = Etiqueta("lblDescripcion", QStringLiteral("Disco de Captura"), this);
    QFont grande = lblDescripcion->font();
    grande.setPointSizeF(grande.pointSizeF() * 1.5);
    grande.setBold(true);
    lblDescripcion->setFont(grande);
    lblVersion = Etiqueta("lblVersion", QStringLiteral("Version ") + QLatin1String(kVersion), this);
    Label2 =
        Etiqueta("Label2",
                 QStringLiteral(
                     "Programa para la captura de una Solicitud de Permiso de Importación o Exportación y de "
                     "Modificaciones"),
                 this);
    Label1 = Etiqueta("Label1",
                      QStringLiteral("Informes al teléfono: ") + QString::fromUtf16(kTelefonoSoporte), this);
    Label3 = Etiqueta("Label3", QString::fromUtf16(kOficinaEmisora), this);
    cmdOK = new QPushButton(QStringLiteral("Aceptar"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setAutoDefault(false);

    auto* capa = new QVBoxLayout(this);
    for (QLabel* l : {lblDescripcion, lblVersion, Label2}) capa->addWidget(l);
    capa->addSpacing(12);
    auto* linea = new QFrame(this);
    linea->setFrameShape(QFrame::HLine);
    linea->setFrameShadow(QFrame::Sunken);
    capa->addWidget(linea);
    for (QLabel* l : {Label1, Label3}) capa->addWidget(l);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdOK);
    botones->addWidget(cmdSysInfo);
    capa->addLayout(botones);
    setMinimumWidth(420);

    BuscaHerramienta = [] {
        return BuscaInfoSistema(GetKeyValue, [](const QString& f) { return QFile::exists(f); });
    };
    ArrancaHerramienta = [](const QString& herramienta) { return QProcess::startDetached(herramienta, {}); };
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { Resguarda(&mensajes_, [this] { StartSysInfo(); }); });
}

void frmAbout::StartSysInfo() {
    const QString herramienta = BuscaHerramienta ? BuscaHerramienta() : QString();
    if (!herramienta.isEmpty() && ArrancaHerramienta && ArrancaHerramienta(herramienta)) return;
    if (!InformePropio()) {
        mensajes_.Muestra(QStringLiteral("System Information Is Unavailable At This Time"), QString(),
                          ServicioMensajes::Botones::Aceptar, ServicioMensajes::Icono::Ninguno);
        return;
    }
    // No such tool here: our own window says what a support call needs.
    auto* info = new frmInfoSistema(InformeSistema(QLatin1String(kVersion), rutaDatos_, unidadA_), this);
    info->setAttribute(Qt::WA_DeleteOnClose);
    info->show();
}

frmInfoSistema::frmInfoSistema(const QString& informe, QWidget* padre) : QDialog(padre) {
    setObjectName(QStringLiteral("frmInfoSistema"));
    setWindowTitle(QStringLiteral("Información del sistema"));
    auto* texto = new QPlainTextEdit(informe, this);
    texto->setObjectName(QStringLiteral("txtInforme"));
    texto->setReadOnly(true);
    texto->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    texto->setAccessibleName(QStringLiteral("Información del sistema"));
    texto->setTabChangesFocus(true);
    auto* copiar = new QPushButton(QStringLiteral("&Copiar"), this);
    copiar->setObjectName(QStringLiteral("cmdCopiar"));
    auto* cerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
    cerrar->setObjectName(QStringLiteral("cmdCerrar"));
    cerrar->setDefault(true);
    auto* capa = new QVBoxLayout(this);
    capa->addWidget(texto, 1);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(copiar);
    botones->addWidget(cerrar);
    capa->addLayout(botones);
    resize(560, 260);
    connect(copiar, &QPushButton::clicked, this, [informe] { QApplication::clipboard()->setText(informe); });
    connect(cerrar, &QPushButton::clicked, this, &QDialog::close);
}

}  // namespace lorum
