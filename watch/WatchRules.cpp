#include "watch/WatchRules.h"

#include <QTime>

#include <algorithm>

namespace WatchRules {

seconds clampInterval(seconds interval) {
    return std::clamp(interval, kMinInterval, kMaxInterval);
}

QString normaliseDomain(const QString& domain) {
    return domain.trimmed().toLower();
}

QDateTime deletionStart(QDate date) {
    return QDateTime(date, QTime(0, 0), Qt::LocalTime).toUTC();
}

std::optional<QDateTime> giveUpMoment(const WatchEntry& entry) {
    if (!entry.deletionDate)
        return std::nullopt;
    return deletionStart(entry.deletionDate->addDays(kGiveUpDays));
}

WatchState stateAt(const WatchEntry& entry, const QDateTime& now) {
    if (isFinished(entry.state))
        return entry.state;
    if (!entry.deletionDate)
        return WatchState::Watching;
    if (now >= *giveUpMoment(entry))
        return WatchState::GivenUp;
    return now < deletionStart(*entry.deletionDate) ? WatchState::AwaitingDeletion
                                                    : WatchState::Watching;
}

WatchEntry newEntry(const QString& domain, std::optional<QDate> date, const QDateTime& now) {
    WatchEntry entry;
    entry.domain = normaliseDomain(domain);
    entry.deletionDate = date;
    entry.addedAt = now.toUTC();
    entry.state = stateAt(entry, now);
    entry.nextCheck = isFinished(entry.state)
                          ? QDateTime()
                          : std::max(entry.addedAt, date ? deletionStart(*date) : entry.addedAt);
    return entry;
}

QDateTime plannedCheck(const WatchEntry& entry, seconds interval) {
    if (isFinished(entry.state))
        return {};
    const QDateTime start = entry.deletionDate ? deletionStart(*entry.deletionDate) : entry.addedAt;
    // A check before the date (asked for by the user) does not delay the first one on the day.
    if (!entry.lastCheck.isValid() || entry.lastCheck < start)
        return std::max(start, entry.addedAt);
    return entry.lastCheck.addSecs(clampInterval(interval).count());
}

WatchEntry afterCheck(WatchEntry entry, const CheckRecord& record, seconds interval) {
    entry.lastCheck = record.time.toUTC();
    ++entry.checkCount;
    if (record.verdict == CheckVerdict::Free)
        entry.state = WatchState::Free;
    else
        entry.state = stateAt(entry, record.time);
    entry.nextCheck = plannedCheck(entry, interval);
    return entry;
}

milliseconds nextSpacing(milliseconds current, bool rateRefused) {
    if (!rateRefused)
        return kBaseSpacing;
    return std::min(std::max(current, kBaseSpacing) * 2, kMaxSpacing);
}

} // namespace WatchRules
