// The program's start as the user sees it: the application, the window, shown. The process
// ends the moment the window first paints, so the time from launching it to its exit is the
// time to the window shown. scripts/bench.sh times it from outside.
#include "app/AppConfig.h"
#include "app/MainWindow.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kGiveUpMs = 10000;

class FirstPaint : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            std::fflush(nullptr);
            // Nothing after the first paint belongs to the start.
            _exit(0);
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MainWindow window(AppConfig::fromBuild());
    FirstPaint firstPaint;
    window.installEventFilter(&firstPaint);
    window.show();
    QTimer::singleShot(kGiveUpMs, [] {
        std::fprintf(stderr, "the window never painted\n");
        _exit(1);
    });
    return app.exec();
}
