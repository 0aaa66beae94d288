#include "DlgSolicitudes.h"

#include "Intercambio.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lorum {

namespace {

enum Columna { kRfc, kNombre, kTramite, kPartidas, kDolares, kGuardada };

// Sorted by the value behind the text: numbers as numbers, dates as dates.
class Renglon : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& otro) const override {
        const int c = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant a = data(c, Qt::UserRole), b = otro.data(c, Qt::UserRole);
        if (a.isValid() && b.isValid()) return QVariant::compare(a, b) == QPartialOrdering::Less;
        return text(c).localeAwareCompare(otro.text(c)) < 0;
    }
};

}  // namespace

DlgSolicitudes::DlgSolicitudes(const QString& raiz, const QString& datos, std::function<QString()> eligeCarpeta, QWidget* padre)
    : QDialog(padre), eligeCarpeta_(std::move(eligeCarpeta)) {
    setObjectName(QStringLiteral("DlgSolicitudes"));
    setWindowTitle(QStringLiteral("Abrir solicitud guardada"));
    auto* capa = new QVBoxLayout(this);
    auto* donde = new QLabel(QStringLiteral("Solicitudes guardadas en %1").arg(QDir::toNativeSeparators(raiz)), this);
    donde->setWordWrap(true);
    capa->addWidget(donde);
    auto* fila = new QHBoxLayout;
    auto* etiqueta = new QLabel(QStringLiteral("&Buscar:"), this);
    filtro = new QLineEdit(this);
    filtro->setObjectName(QStringLiteral("filtro"));
    filtro->setAccessibleName(QStringLiteral("Buscar solicitud"));
    filtro->setClearButtonEnabled(true);
    etiqueta->setBuddy(filtro);
    fila->addWidget(etiqueta);
    fila->addWidget(filtro, 1);
    capa->addLayout(fila);

    lista = new QTreeWidget(this);
    lista->setObjectName(QStringLiteral("lista"));
    lista->setAccessibleName(QStringLiteral("Solicitudes guardadas"));
    lista->setRootIsDecorated(false);
    lista->setUniformRowHeights(true);
    lista->setAllColumnsShowFocus(true);
    lista->setHeaderLabels({QStringLiteral("RFC"), QStringLiteral("Nombre o razón social"), QStringLiteral("Trámite"),
                            QStringLiteral("Partidas"), QStringLiteral("Valor en dólares"), QStringLiteral("Guardada")});
    const QLocale mx(QLocale::Spanish, QLocale::Mexico);
    for (const QString& carpeta : CarpetasDeSolicitudes(raiz)) {
        const ResumenSolicitud r = LeeResumen(carpeta, datos);
        auto* renglon = new Renglon(lista);
        renglon->setData(kRfc, Qt::UserRole + 1, carpeta);
        renglon->setToolTip(kRfc, QDir::toNativeSeparators(carpeta));
        if (!r.ok) {
            // Listed, so that the user knows it is there, but never opened.
            renglon->setText(kRfc, QDir(carpeta).dirName());
            renglon->setText(kNombre, QStringLiteral("(dañada: %1)").arg(r.mensaje.section(u'\n', 0, 0)));
            renglon->setFlags(renglon->flags() & ~Qt::ItemIsEnabled);
            continue;
        }
        renglon->setText(kRfc, r.rfc);
        renglon->setText(kNombre, r.nombre);
        renglon->setText(kTramite, r.tramite);
        renglon->setText(kPartidas, QString::number(r.partidas));
        renglon->setData(kPartidas, Qt::UserRole, r.partidas);
        renglon->setTextAlignment(kPartidas, Qt::AlignRight | Qt::AlignVCenter);
        renglon->setText(kDolares, mx.toString(r.dolares, 'f', 2));
        renglon->setData(kDolares, Qt::UserRole, r.dolares);
        renglon->setTextAlignment(kDolares, Qt::AlignRight | Qt::AlignVCenter);
        renglon->setText(kGuardada, r.guardada.toString(QStringLiteral("dd/MM/yyyy HH:mm")));
        renglon->setData(kGuardada, Qt::UserRole, r.guardada);
    }
    lista->setSortingEnabled(true);
    lista->sortByColumn(kGuardada, Qt::DescendingOrder);  // the newest first
    lista->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    lista->header()->setSectionResizeMode(kNombre, QHeaderView::Stretch);
    lista->header()->setStretchLastSection(false);
    capa->addWidget(lista, 1);
    if (QTreeWidgetItem* primero = lista->topLevelItem(0)) lista->setCurrentItem(primero);

    auto* botones = new QDialogButtonBox(this);
    abrir = botones->addButton(QStringLiteral("Abrir"), QDialogButtonBox::AcceptRole);
    otra = botones->addButton(QStringLiteral("&Otra carpeta..."), QDialogButtonBox::ActionRole);
    botones->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    abrir->setDefault(true);
    capa->addWidget(botones);
    connect(filtro, &QLineEdit::textChanged, this, &DlgSolicitudes::Filtra);
    connect(filtro, &QLineEdit::returnPressed, this, &DlgSolicitudes::Abre);
    connect(lista, &QTreeWidget::itemActivated, this, [this] { Abre(); });
    connect(botones, &QDialogButtonBox::accepted, this, &DlgSolicitudes::Abre);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(otra, &QPushButton::clicked, this, [this] {
        const QString c = eligeCarpeta_ ? eligeCarpeta_() : QString();
        if (c.isEmpty()) return;
        carpeta_ = c;
        accept();
    });
    // Typing goes to the search at once; the arrows move in the list from there.
    filtro->installEventFilter(this);
    filtro->setFocus();
    resize(900, 420);
}

void DlgSolicitudes::Filtra(const QString& texto) {
    QTreeWidgetItem* primero = nullptr;
    for (int i = 0; i < lista->topLevelItemCount(); ++i) {
        QTreeWidgetItem* r = lista->topLevelItem(i);
        bool coincide = texto.trimmed().isEmpty();
        for (int c = 0; c < lista->columnCount() && !coincide; ++c) coincide = r->text(c).contains(texto.trimmed(), Qt::CaseInsensitive);
        r->setHidden(!coincide);
        if (coincide && !primero && (r->flags() & Qt::ItemIsEnabled)) primero = r;
    }
    if (!lista->currentItem() || lista->currentItem()->isHidden()) lista->setCurrentItem(primero);
}

void DlgSolicitudes::Abre() {
    QTreeWidgetItem* r = lista->currentItem();
    if (!r || r->isHidden() || !(r->flags() & Qt::ItemIsEnabled)) return;
    carpeta_ = r->data(kRfc, Qt::UserRole + 1).toString();
    accept();
}

bool DlgSolicitudes::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == filtro && evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (tecla == Qt::Key_Up || tecla == Qt::Key_Down || tecla == Qt::Key_PageUp || tecla == Qt::Key_PageDown) {
            QKeyEvent copia(QEvent::KeyPress, tecla, Qt::NoModifier);
            QCoreApplication::sendEvent(lista, &copia);
            return true;
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

}  // namespace lorum
