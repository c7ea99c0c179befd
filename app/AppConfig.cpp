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

void AppConfig::applySettings(const SettingsValues& values) {
    listBase = values.listBase;
    checkBase = values.checkBase;
    registry.bootstrapAddress = values.bootstrapAddress;
    registry.whoisOverride = values.whoisOverride;
    registry.spacing = std::chrono::milliseconds(values.spacingMs);
    registry.enabled = values.enabled;
    listZone = values.listZone.isEmpty() ? QTimeZone::systemTimeZone()
                                         : QTimeZone(values.listZone.toUtf8());
}

AppConfig AppConfig::fromSettingsFile(const QString& path) {
    AppConfig config;
    // The program asks the registries unless its settings say otherwise.
    config.registry = RegistrySettings();
    const SettingsReading reading = ReadSettingsFile(path, BuildSettingsDefaults());
    config.applySettings(reading.values);
    config.settingsPath = path;
    config.settingsProblems = reading.problems;
    return config;
}

AppConfig AppConfig::fromBuild() {
    AppConfig config = fromSettingsFile(DefaultSettingsPath());
    const QString homePage = QString::fromUtf16(BuildConfig::kHomePage);
    config.homePage = homePage.isEmpty() ? shippedHomePage() : QUrl(homePage);
    config.watchListPath = WatchStore::defaultPath();
    config.notificationBus = QDBusConnection::sessionBus();
    return config;
}
