// Test entry for widget tests: an offscreen QApplication around GoogleTest.
#include <QApplication>
#include <QFont>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LORUM"));
    // Text measured as the program measures it.
    QFont letra = QApplication::font();
    letra.setStyleStrategy(QFont::PreferNoShaping);
    QApplication::setFont(letra);
    // The user's own settings and documents are never touched by a test.
    QTemporaryDir ajustes;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, ajustes.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, ajustes.path());
    QStandardPaths::setTestModeEnabled(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
