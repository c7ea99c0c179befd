#pragma once

#include "registry/RegistryAccess.h"
#include "web/PageRequest.h"

#include <QDBusConnection>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>

// What the window needs from outside: the two service addresses, the home page, the clock and
// the request time limit. The program takes them from the build; tests hand in their own.
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

    static AppConfig fromBuild();
};
