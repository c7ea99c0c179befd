#include "BenchWindow.h"

#include <QCoreApplication>
#include <QTest>

std::unique_ptr<MainWindow> MakeShownWindow() {
    AppConfig config;
    // The discard port: nothing here may reach a real service.
    config.listBase = QStringLiteral("http://127.0.0.1:9/?");
    config.checkBase = QStringLiteral("http://127.0.0.1:9");
    return MakeShownWindow(std::move(config));
}

std::unique_ptr<MainWindow> MakeShownWindow(AppConfig config) {
    config.homePage = QUrl(QStringLiteral("morrowcatch-bench://home"));
    auto window = std::make_unique<MainWindow>(std::move(config));
    window->show();
    (void)QTest::qWaitForWindowExposed(window.get());
    QCoreApplication::processEvents();
    return window;
}
