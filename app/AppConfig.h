#pragma once

#include "app/SettingsFile.h"
#include "registry/RegistryAccess.h"
#include "web/PageRequest.h"

#include <QDBusConnection>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTimeZone>
#include <QUrl>

#include <chrono>
#include <functional>

// What the window needs from outside: the two service addresses, the home page, the clock and
// the request time limit. The program takes them from its settings file over the build's
// defaults; tests hand in their own.
struct AppConfig {
    QString listBase;  // the list service, ending in "/?"
    QString checkBase; // the availability-check service's scheme and host
    QUrl homePage;
    std::function<QDate()> today = [] { return QDate::currentDate(); };
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
    // How long one request may take; tests whose point is not the exact limit shorten it.
    std::chrono::nanoseconds fetchTimeLimit = kFetchTimeLimit;
    // The watch list's file; empty keeps the list in memory only.
    QString watchListPath;
    // Where a name found free is announced to the desktop; not connected (as here): nowhere.
    QDBusConnection notificationBus{QString()};

    // Tests start without registries unless they ask for them; the program takes its settings'.
    RegistrySettings registry = RegistrySettings::off();
    // The zone the list service's deletion times are in.
    QTimeZone listZone = QTimeZone::systemTimeZone();

    // The settings file the settings window shows and writes; empty: DefaultSettingsPath().
    QString settingsPath;
    // What was wrong in the settings file, told once the window is up.
    QStringList settingsProblems;

    // The file's service addresses and registry settings over the build's defaults.
    void applySettings(const SettingsValues& values);
    static AppConfig fromSettingsFile(const QString& path);
    // The user's settings file over the build's defaults.
    static AppConfig fromBuild();
};
