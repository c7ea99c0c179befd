#include "watch/WatchSchedule.h"

#include "watch/ClosePolling.h"
#include "watch/WatchRules.h"

#include <QHash>

#include <limits>

namespace {

// A day's start costs a time zone lookup; a list holds few distinct dates, so one pass works
// them out once per date.
class DayBounds {
public:
    explicit DayBounds(const QTimeZone& zone) : m_zone(zone) {}

    const WatchRules::DeletionDays* of(const std::optional<QDate>& date) {
        if (!date)
            return nullptr;
        if (*date == m_lastDate)
            return &m_lastDays;
        auto found = m_known.constFind(date->toJulianDay());
        if (found == m_known.cend())
            found = m_known.insert(date->toJulianDay(), WatchRules::deletionDays(*date, m_zone));
        m_lastDate = *date;
        m_lastDays = *found;
        return &m_lastDays;
    }

private:
    const QTimeZone& m_zone;
    QHash<qint64, WatchRules::DeletionDays> m_known;
    QDate m_lastDate;
    WatchRules::DeletionDays m_lastDays{};
};

} // namespace

WatchSchedule WatchSchedule::scan(const QList<WatchEntry>& entries, const QDateTime& now,
                                  const QTimeZone& zone) {
    WatchSchedule schedule;
    DayBounds days(zone);
    const qint64 nowMs = now.toMSecsSinceEpoch();
    qint64 overdueMs = 0;
    qint64 overdueKey = 0;
    qint64 nextMs = std::numeric_limits<qint64>::max();

    for (qsizetype i = 0; i < entries.size(); ++i) {
        const WatchEntry& entry = entries[i];
        if (!isFinished(entry.state)) {
            const WatchRules::StateByClock byClock =
                WatchRules::stateByClock(days.of(entry.deletionDate), nowMs);
            if (byClock.state != entry.state) {
                schedule.stateChanged.append(i);
                continue;
            }
            nextMs = std::min(nextMs, byClock.untilMs);
        }
        if (!entry.nextCheck.isValid() || !WatchRules::isChecked(entry))
            continue;
        const qint64 dueMs = entry.nextCheck.toMSecsSinceEpoch();
        if (dueMs > nowMs) {
            nextMs = std::min(nextMs, dueMs);
        } else {
            const qint64 key =
                entry.expected.moment.isValid()
                    ? ClosePolling::priorityKeyMs(entry.expected.moment.toMSecsSinceEpoch(), nowMs)
                    : std::numeric_limits<qint64>::max();
            if (schedule.mostOverdue < 0 || key < overdueKey ||
                (key == overdueKey && dueMs < overdueMs)) {
                schedule.mostOverdue = i;
                overdueMs = dueMs;
                overdueKey = key;
            }
        }
    }
    if (nextMs != std::numeric_limits<qint64>::max())
        schedule.nextMoment = QDateTime::fromMSecsSinceEpoch(nextMs, Qt::UTC);
    return schedule;
}
