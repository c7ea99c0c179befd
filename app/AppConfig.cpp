#include "app/AppConfig.h"

#include "BuildConfig.h"
#include "watch/WatchStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// The about page ships beside the program in the build tree, and under share/ once installed.
QUrl shippedHomePage() {
    const QDir programDir(QCoreApplication::applicationDirPath());
    for (const QString& candidate :
         {programDir.filePath(QStringLiteral("about.html")),
          programDir.filePath(QStringLiteral("../share/morrowcatch/about.html"))}) {
        if (QFileInfo::exists(candidate))
            return QUrl::fromLocalFile(QFileInfo(candidate).canonicalFilePath());
    }
    return QUrl::fromLocalFile(programDir.filePath(QStringLiteral("about.html")));
}

} // namespace

AppConfig AppConfig::fromBuild() {
    AppConfig config;
    config.listBase = QString::fromUtf16(BuildConfig::kListBase);
    config.checkBase = QString::fromUtf16(BuildConfig::kCheckBase);
    const QString homePage = QString::fromUtf16(BuildConfig::kHomePage);
    config.homePage = homePage.isEmpty() ? shippedHomePage() : QUrl(homePage);
    config.watchListPath = WatchStore::defaultPath();
    config.notificationBus = QDBusConnection::sessionBus();
    return config;
}
