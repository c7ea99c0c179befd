#include "watch/WatchSchedule.h"

#include "watch/WatchRules.h"

namespace {

// Local midnights cost a time zone lookup each; a list holds few distinct dates, so one pass
// works them out once per date.
class DayBounds {
public:
    struct Bounds {
        qint64 startMs;
        qint64 giveUpMs;
    };

    const Bounds& of(QDate date) {
        if (date == m_lastDate)
            return m_lastBounds;
        auto found = m_known.constFind(date.toJulianDay());
        if (found == m_known.cend()) {
            found = m_known.insert(date.toJulianDay(),
                                   {WatchRules::deletionStart(date).toMSecsSinceEpoch(),
                                    WatchRules::deletionStart(date.addDays(WatchRules::kGiveUpDays))
                                        .toMSecsSinceEpoch()});
        }
        m_lastDate = date;
        m_lastBounds = *found;
        return m_lastBounds;
    }

private:
    QHash<qint64, Bounds> m_known;
    QDate m_lastDate;
    Bounds m_lastBounds{};
};

} // namespace

WatchSchedule WatchSchedule::scan(const QList<WatchEntry>& entries, const QDateTime& now) {
    WatchSchedule schedule;
    DayBounds days;
    const qint64 nowMs = now.toMSecsSinceEpoch();
    qint64 overdueMs = 0;
    qint64 nextMs = 0;
    bool haveNext = false;
    const auto keepEarliest = [&](qint64 ms) {
        if (!haveNext || ms < nextMs) {
            nextMs = ms;
            haveNext = true;
        }
    };

    for (qsizetype i = 0; i < entries.size(); ++i) {
        const WatchEntry& entry = entries[i];
        if (isFinished(entry.state))
            continue;
        WatchState byClock = WatchState::Watching;
        if (entry.deletionDate) {
            const DayBounds::Bounds& bounds = days.of(*entry.deletionDate);
            if (nowMs >= bounds.giveUpMs) {
                byClock = WatchState::GivenUp;
            } else if (nowMs < bounds.startMs) {
                byClock = WatchState::AwaitingDeletion;
                keepEarliest(bounds.startMs);
            } else {
                keepEarliest(bounds.giveUpMs);
            }
        }
        if (byClock != entry.state) {
            schedule.stateChanged.append(i);
            continue;
        }
        if (!entry.nextCheck.isValid())
            continue;
        const qint64 dueMs = entry.nextCheck.toMSecsSinceEpoch();
        if (dueMs > nowMs) {
            keepEarliest(dueMs);
        } else if (schedule.mostOverdue < 0 || dueMs < overdueMs) {
            schedule.mostOverdue = i;
            overdueMs = dueMs;
        }
    }
    if (haveNext)
        schedule.nextMoment = QDateTime::fromMSecsSinceEpoch(nextMs, Qt::UTC);
    return schedule;
}
