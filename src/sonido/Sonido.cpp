// The welcome sound's player, a module of its own: Qt Multimedia and the sound system's libraries
// are loaded only when a sound is played, after the main window is up, not at every start.
#include <QCoreApplication>
#include <QSoundEffect>
#include <QString>
#include <QUrl>

extern "C" Q_DECL_EXPORT void lorum_reproduce(const char16_t* ruta, qsizetype largo) {
    static QSoundEffect* efecto = new QSoundEffect(QCoreApplication::instance());  // goes with the application
    efecto->setSource(QUrl::fromLocalFile(QString::fromUtf16(ruta, largo)));
    efecto->play();
}
