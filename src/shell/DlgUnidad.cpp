#include "DlgUnidad.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lorum {

DlgUnidad::DlgUnidad(const std::vector<MedioExtraible>& medios, const QString& actual, const QString& aviso,
                     std::function<QString()> eligeCarpeta, QWidget* padre)
    : QDialog(padre), eligeCarpeta_(std::move(eligeCarpeta)) {
    setObjectName(QStringLiteral("DlgUnidad"));
    setWindowTitle(QStringLiteral("Unidad de entrega"));
    auto* capa = new QVBoxLayout(this);
    if (!aviso.isEmpty()) {
        auto* dicho = new QLabel(aviso, this);
        dicho->setObjectName(QStringLiteral("aviso"));
        dicho->setWordWrap(true);
        capa->addWidget(dicho);
    }
    auto* titulo = new QLabel(medios.empty() ? QStringLiteral("No hay unidades extraíbles conectadas; conecte una o elija otra carpeta.")
                                             : QStringLiteral("&Unidades extraíbles conectadas:"),
                              this);
    titulo->setWordWrap(true);
    capa->addWidget(titulo);
    lista = new QListWidget(this);
    lista->setObjectName(QStringLiteral("lista"));
    lista->setAccessibleName(QStringLiteral("Unidades extraíbles conectadas"));
    titulo->setBuddy(lista);
    for (const MedioExtraible& m : medios) {
        auto* renglon = new QListWidgetItem(m.Texto(), lista);
        renglon->setData(Qt::UserRole, m.carpeta);
        if (QDir::cleanPath(m.carpeta) == QDir::cleanPath(actual)) lista->setCurrentItem(renglon);
    }
    if (!lista->currentItem() && lista->count() > 0) lista->setCurrentRow(0);
    capa->addWidget(lista, 1);
    otra = new QPushButton(QStringLiteral("&Otra carpeta..."), this);
    otra->setObjectName(QStringLiteral("otra"));
    auto* botones = new QDialogButtonBox(this);
    aceptar = botones->addButton(QStringLiteral("Aceptar"), QDialogButtonBox::AcceptRole);
    botones->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    botones->addButton(otra, QDialogButtonBox::ActionRole);
    aceptar->setEnabled(lista->currentItem() != nullptr);
    aceptar->setDefault(true);
    capa->addWidget(botones);
    connect(lista, &QListWidget::currentItemChanged, this, [this] { aceptar->setEnabled(lista->currentItem() != nullptr); });
    connect(lista, &QListWidget::itemActivated, this, [this] { Acepta(); });
    connect(botones, &QDialogButtonBox::accepted, this, [this] { Acepta(); });
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(otra, &QPushButton::clicked, this, [this] {
        const QString c = eligeCarpeta_ ? eligeCarpeta_() : QString();
        if (c.isEmpty()) return;
        carpeta_ = QDir::toNativeSeparators(c);
        accept();
    });
    lista->setFocus();
    resize(520, 300);
}

void DlgUnidad::Acepta() {
    if (!lista->currentItem()) return;
    carpeta_ = lista->currentItem()->data(Qt::UserRole).toString();
    accept();
}

}  // namespace lorum
