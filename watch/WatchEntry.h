#pragma once

#include "watch/ExpectedDrop.h"
#include "watch/RegistryStanding.h"
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
    // The first of the free answers in a row that have not yet made the name free. Kept in memory
    // only: after a restart the next free answer starts the row again, at the cost of one check.
    QDateTime freeSince;
    RegistryStanding registry;
    // The drop moment the name's list row gave (UTC); invalid when it came from no list or the
    // row gave a date alone.
    QDateTime listedDrop;
    // Worked out by the monitor from the sources it knows; kept in memory only.
    ExpectedDrop expected;

    // Equal when the file would hold the same, so freeSince does not count.
    friend bool operator==(const WatchEntry& a, const WatchEntry& b) {
        return a.domain == b.domain && a.deletionDate == b.deletionDate && a.state == b.state &&
               a.addedAt == b.addedAt && a.lastCheck == b.lastCheck && a.nextCheck == b.nextCheck &&
               a.checkCount == b.checkCount && a.registry == b.registry &&
               a.listedDrop == b.listedDrop;
    }
};
