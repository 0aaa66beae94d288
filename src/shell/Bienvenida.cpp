#include "Bienvenida.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace lorum {

namespace {

// Our own emblem: a request sheet with a seal.
QPixmap emblema() {
    QPixmap p(96, 96);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(40, 60, 110), 2));
    g.setBrush(QColor(250, 250, 245));
    g.drawRect(18, 8, 52, 70);
    for (int y = 22; y < 64; y += 9) g.drawLine(26, y, 62, y);
    g.setBrush(QColor(75, 139, 203));
    g.setPen(QPen(QColor(30, 70, 130), 2));
    g.drawEllipse(QPointF(66, 70), 18, 18);
    g.setPen(QPen(Qt::white, 3));
    g.drawLine(58, 70, 64, 77);
    g.drawLine(64, 77, 75, 62);
    return p;
}

}  // namespace

QString Bienvenida::TextoVersion(const QString& version) {
    const QStringList partes = version.split(u'.');
    return QStringLiteral("Ver. %1.%2%3").arg(partes.value(0), partes.value(1), partes.value(2));
}

// A splash window: it never appears in the window list, and Alt+Tab does not land on it.
Bienvenida::Bienvenida(const QString& version, QWidget* padre) : QWidget(padre, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("Bienvenida"));
    setAttribute(Qt::WA_ShowWithoutActivating);  // the main window keeps the keyboard
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(235, 240, 248));
    setPalette(p);

    auto* capa = new QVBoxLayout(this);
    capa->setContentsMargins(40, 24, 40, 24);
    auto* imagen = new QLabel;
    imagen->setPixmap(emblema());
    imagen->setAlignment(Qt::AlignCenter);
    imagen->setAccessibleName(QStringLiteral("Emblema"));
    capa->addWidget(imagen);
    const char* textos[] = {"Disco de Captura", "Solicitud de Permiso de Importación o Exportación ",
                            "y de Modificaciones"};
    for (const char* t : textos) {
        auto* l = new QLabel(QString::fromUtf8(t));
        l->setAlignment(Qt::AlignCenter);
        QFont f = l->font();
        f.setPointSize(t == textos[0] ? 18 : 12);
        f.setBold(true);
        l->setFont(f);
        capa->addWidget(l);
    }
    auto* oficina = new QLabel(QStringLiteral("Secretaría de Talveros — Permisos de Importación y Exportación"));
    oficina->setAlignment(Qt::AlignCenter);
    capa->addWidget(oficina);
    auto* ver = new QLabel(TextoVersion(version));
    ver->setObjectName(QStringLiteral("lblVersion"));
    ver->setAlignment(Qt::AlignRight);
    capa->addWidget(ver);
    // Labels must not pass the mouse on: only the window's own surface hides it.
    for (QLabel* l : findChildren<QLabel*>()) l->setMouseTracking(true);
}

void Bienvenida::MuestraCentrada() {
    adjustSize();
    if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
        const QRect r = pantalla->geometry();
        move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
    }
    show();
    // Besides the mouse rule, the first key or click anywhere in the program, or a few seconds, hide it.
    qApp->installEventFilter(this);
    QTimer::singleShot(kSegundos * 1000, this, &QWidget::hide);
}

bool Bienvenida::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress || evento->type() == QEvent::MouseButtonPress) hide();
    return QWidget::eventFilter(objeto, evento);
}

void Bienvenida::hideEvent(QHideEvent* evento) {
    qApp->removeEventFilter(this);
    QWidget::hideEvent(evento);
}

void Bienvenida::mouseMoveEvent(QMouseEvent* evento) {
    // A move over a label reaches here too (labels ignore it); only the bare surface hides the window.
    if (!childAt(evento->position().toPoint())) hide();
}

AvisoGuardando::AvisoGuardando(std::function<void()> alTerminar, QWidget* padre)
    : QWidget(padre, Qt::Dialog | Qt::FramelessWindowHint), alTerminar_(std::move(alTerminar)) {
    setObjectName(QStringLiteral("Form1"));
    auto* capa = new QVBoxLayout(this);
    capa->setContentsMargins(30, 20, 30, 20);
    auto* texto = new QLabel(QStringLiteral("Guardando Información"));
    texto->setFont(QFont(QStringLiteral("Arial"), 12));
    capa->addWidget(texto);
}

void AvisoGuardando::Muestra() {
    show();
    QTimer::singleShot(kMilisegundos, this, [this] {
        hide();
        if (alTerminar_) alTerminar_();
    });
}

}  // namespace lorum
