#include "app/MainWindow.h"
#include "app/SingleInstance.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Names the folder where the watch list is kept.
    QCoreApplication::setApplicationName(QStringLiteral("morrowcatch"));
    SingleInstance instance;
    if (const SingleInstance::Start start = instance.start();
        start != SingleInstance::Start::Running)
        return start == SingleInstance::Start::HandedOver ? 0 : 1;
    MainWindow window(AppConfig::fromBuild());
    QObject::connect(&instance, &SingleInstance::showRequested, &window, &MainWindow::bringToFront);
    window.show();
    return app.exec();
}
