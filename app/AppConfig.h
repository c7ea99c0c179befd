#pragma once

#include <QDate>
#include <QString>
#include <QUrl>

#include <functional>

// What the window needs from outside: the two service addresses, the home page, and today's
// date. The program takes them from the build; tests hand in their own.
struct AppConfig {
    QString listBase;  // the list service, ending in "/?"
    QString checkBase; // the availability-check service's scheme and host
    QUrl homePage;
    std::function<QDate()> today = [] { return QDate::currentDate(); };

    static AppConfig fromBuild();
};
