#include "watch/WatchRules.h"

#include <QUrl>

#include <algorithm>

namespace WatchRules {

namespace {

bool isNameCharacter(QChar c) {
    return c.isLetterOrNumber() || c.isMark() || c == u'-' || c == u'_';
}

// A dot between name characters joins two labels into a longer name.
bool joinedBefore(QStringView text, qsizetype at) {
    if (at == 0)
        return false;
    if (isNameCharacter(text[at - 1]))
        return true;
    return text[at - 1] == u'.' && at >= 2 && isNameCharacter(text[at - 2]);
}

bool joinedAfter(QStringView text, qsizetype end) {
    if (end >= text.size())
        return false;
    if (isNameCharacter(text[end]))
        return true;
    return text[end] == u'.' && end + 1 < text.size() && isNameCharacter(text[end + 1]);
}

bool namesSpelling(QStringView text, QStringView name) {
    if (name.isEmpty())
        return false;
    for (qsizetype at = text.indexOf(name, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(name, at + 1, Qt::CaseInsensitive)) {
        if (!joinedBefore(text, at) && !joinedAfter(text, at + name.size()))
            return true;
    }
    return false;
}

QDateTime fromMs(qint64 ms) {
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

} // namespace

seconds clampInterval(seconds interval) {
    return std::clamp(interval, kMinInterval, kMaxInterval);
}

QString normaliseDomain(const QString& domain) {
    return domain.trimmed().toLower();
}

bool namesDomain(QStringView answer, const QString& domain) {
    const QStringView text = answer.first(std::min(answer.size(), kNamedWithin));
    if (namesSpelling(text, domain))
        return true;
    // A service may answer for 中文.cn as xn--fiq228c.cn, or the other way round.
    const QByteArray ace = QUrl::toAce(domain);
    for (const QString& spelling : {QString::fromLatin1(ace), QUrl::fromAce(ace)}) {
        if (!spelling.isEmpty() && spelling.compare(domain, Qt::CaseInsensitive) != 0 &&
            namesSpelling(text, spelling))
            return true;
    }
    return false;
}

QDateTime deletionStart(QDate date, const QTimeZone& zone) {
    // A zone that cannot be read (an unknown name in TZ) leaves the local time of the C library.
    return (zone.isValid() ? date.startOfDay(zone) : date.startOfDay(Qt::LocalTime)).toUTC();
}

DeletionDays deletionDays(QDate date, const QTimeZone& zone) {
    return {deletionStart(date, zone).toMSecsSinceEpoch(),
            deletionStart(date.addDays(kGiveUpDays), zone).toMSecsSinceEpoch()};
}

StateByClock stateByClock(const DeletionDays* days, qint64 nowMs) {
    if (!days)
        return {WatchState::Watching};
    if (nowMs < days->startMs)
        return {WatchState::AwaitingDeletion, days->startMs};
    if (nowMs < days->giveUpMs)
        return {WatchState::Watching, days->giveUpMs};
    return {WatchState::GivenUp};
}

std::optional<QDateTime> giveUpMoment(const WatchEntry& entry, const QTimeZone& zone) {
    if (!entry.deletionDate)
        return std::nullopt;
    return fromMs(deletionDays(*entry.deletionDate, zone).giveUpMs);
}

WatchState stateAt(const WatchEntry& entry, const QDateTime& now, const QTimeZone& zone) {
    if (isFinished(entry.state))
        return entry.state;
    if (!entry.deletionDate)
        return stateByClock(nullptr, now.toMSecsSinceEpoch()).state;
    const DeletionDays days = deletionDays(*entry.deletionDate, zone);
    return stateByClock(&days, now.toMSecsSinceEpoch()).state;
}

bool isChecked(const WatchEntry& entry) {
    return !isFinished(entry.state) ||
           (entry.freeSince.isValid() && entry.state != WatchState::Free);
}

WatchEntry newEntry(const QString& domain, std::optional<QDate> date, const QDateTime& now,
                    const QTimeZone& zone) {
    WatchEntry entry;
    entry.domain = normaliseDomain(domain);
    entry.deletionDate = date;
    entry.addedAt = now.toUTC();
    entry.state = stateAt(entry, now, zone);
    entry.nextCheck = plannedCheck(entry, kDefaultInterval, now, zone);
    return entry;
}

QDateTime plannedCheck(const WatchEntry& entry, seconds interval, const QDateTime& now,
                       const QTimeZone& zone) {
    if (!isChecked(entry))
        return {};
    if (entry.freeSince.isValid())
        return std::min(entry.freeSince, now).addSecs(kConfirmAfter.count()).toUTC();
    const QDateTime added = std::min(entry.addedAt, now).toUTC();
    const QDateTime start = entry.deletionDate ? deletionStart(*entry.deletionDate, zone) : added;
    // A check before the date (asked for by the user) does not delay the first one on the day.
    if (!entry.lastCheck.isValid() || entry.lastCheck < start)
        return std::max(start, added);
    return std::min(entry.lastCheck, now).addSecs(clampInterval(interval).count()).toUTC();
}

WatchEntry afterCheck(WatchEntry entry, const CheckRecord& record, seconds interval,
                      const QTimeZone& zone) {
    const QDateTime at = record.time.toUTC();
    entry.lastCheck = at;
    ++entry.checkCount;
    switch (record.verdict) {
    case CheckVerdict::Free:
        if (entry.state == WatchState::Free)
            break;
        // A first free answer, or a clock set back before the first: the row starts here.
        if (!entry.freeSince.isValid() || at < entry.freeSince) {
            entry.freeSince = at;
        } else if (entry.freeSince.msecsTo(at) >= milliseconds(kConfirmAfter).count()) {
            if (!entry.registry.isHeld())
                entry.state = WatchState::Free;
            entry.freeSince = QDateTime();
        }
        break;
    case CheckVerdict::Registered:
        entry.freeSince = QDateTime();
        if (entry.state == WatchState::Free && !entry.registry.isNotHeld())
            entry.state = WatchState::Caught;
        break;
    case CheckVerdict::NoVerdict:
        entry.freeSince = QDateTime();
        break;
    }
    entry.state = stateAt(entry, at, zone);
    entry.nextCheck = plannedCheck(entry, interval, at, zone);
    return entry;
}

WatchEntry afterRegistryAnswer(WatchEntry entry, const RegistryStanding& standing, seconds interval,
                               const QDateTime& now, const QTimeZone& zone) {
    entry.registry = standing;
    if (standing.isNotHeld() && entry.state != WatchState::Free) {
        entry.state = WatchState::Free;
        entry.freeSince = QDateTime();
    } else if (standing.isHeld() && entry.state == WatchState::Free) {
        entry.state = WatchState::Caught;
    } else {
        return entry;
    }
    entry.nextCheck = plannedCheck(entry, interval, now, zone);
    return entry;
}

std::optional<QDateTime> caughtAt(const QList<CheckRecord>& newestFirst) {
    std::optional<QDateTime> found;
    for (const CheckRecord& check : newestFirst) {
        if (check.verdict == CheckVerdict::Free)
            break;
        if (check.verdict == CheckVerdict::Registered)
            found = check.time;
    }
    return found;
}

milliseconds nextSpacing(milliseconds current, bool rateRefused) {
    if (!rateRefused)
        return kBaseSpacing;
    return std::min(std::max(current, kBaseSpacing) * 2, kMaxSpacing);
}

} // namespace WatchRules
