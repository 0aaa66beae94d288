// The yardstick for the start-up benchmark: a bare Qt main window with a menu bar, a toolbar and a
// status bar, and nothing else.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("Ventana"));
    w.menuBar()->addMenu(QStringLiteral("&Sistema"))->addAction(QStringLiteral("S&alir"));
    w.addToolBar(QStringLiteral("Barra"))->addAction(QStringLiteral("Salir"));
    w.statusBar()->showMessage(QStringLiteral("Listo"));
    w.resize(800, 600);
    w.show();
    return app.exec();
}
