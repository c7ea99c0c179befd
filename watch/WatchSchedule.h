#pragma once

#include "watch/WatchEntry.h"

#include <QDateTime>
#include <QList>
#include <QTimeZone>

// One linear pass over the watched names at `now`: which names changed state by the clock alone,
// which name is most overdue, and when the next thing happens after now.
struct WatchSchedule {
    QList<qsizetype> stateChanged; // indices whose WatchRules::stateAt differs from their state
    // The due name (nextCheck at or before now) to check first, -1 when none is due: the one
    // nearest its expected drop inside its close window, then the earliest nextCheck.
    qsizetype mostOverdue = -1;
    QDateTime nextMoment; // earliest check or change of state after now; invalid if none

    static WatchSchedule scan(const QList<WatchEntry>& entries, const QDateTime& now,
                              const QTimeZone& zone = QTimeZone::systemTimeZone());
};
