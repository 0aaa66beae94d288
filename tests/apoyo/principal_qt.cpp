// Test entry for widget tests: an offscreen QApplication around GoogleTest.
#include <QApplication>
#include <QFont>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LORUM"));
    // Text measured as the program measures it.
    QFont letra = QApplication::font();
    letra.setStyleStrategy(QFont::PreferNoShaping);
    QApplication::setFont(letra);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
