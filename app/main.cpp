#include "app/MainWindow.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Names the folder where the watch list is kept.
    QCoreApplication::setApplicationName(QStringLiteral("morrowcatch"));
    MainWindow window(AppConfig::fromBuild());
    window.show();
    return app.exec();
}
