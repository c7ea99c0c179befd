#pragma once

#include "watch/WatchState.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

// One watched name as the list shows it and the store keeps it. Times are in UTC; an invalid
// nextCheck means no check is planned.
struct WatchEntry {
    QString domain; // trimmed, lower case
    std::optional<QDate> deletionDate;
    WatchState state = WatchState::Watching;
    QDateTime addedAt;
    QDateTime lastCheck;
    QDateTime nextCheck;
    int checkCount = 0;

    friend bool operator==(const WatchEntry&, const WatchEntry&) = default;
};
