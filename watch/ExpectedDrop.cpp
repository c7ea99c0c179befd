#include "watch/ExpectedDrop.h"

#include "watch/ClosePolling.h"
#include "watch/WatchRules.h"

#include <algorithm>

namespace {

constexpr int kSecondsPerDay = 24 * 60 * 60;

// The median of seconds of the day, read on a circle: the values are unrolled from the end of
// the widest gap between neighbours, so the cut falls where no drop was seen.
int circularMedian(QList<int> seconds) {
    std::sort(seconds.begin(), seconds.end());
    const qsizetype n = seconds.size();
    qsizetype start = 0;
    int widest = -1;
    for (qsizetype i = 0; i < n; ++i) {
        const int next = i + 1 < n ? seconds[i + 1] : seconds[0] + kSecondsPerDay;
        if (next - seconds[i] > widest) {
            widest = next - seconds[i];
            start = (i + 1) % n;
        }
    }
    QList<qint64> unrolled;
    unrolled.reserve(n);
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype at = (start + i) % n;
        unrolled.append(seconds[at] + (at < start ? kSecondsPerDay : 0));
    }
    const qint64 median = n % 2 ? unrolled[n / 2] : (unrolled[n / 2 - 1] + unrolled[n / 2]) / 2;
    return static_cast<int>(median % kSecondsPerDay);
}

} // namespace

QString dropSourceLabel(DropSource source) {
    switch (source) {
    case DropSource::List:
        return QStringLiteral("列表");
    case DropSource::Registry:
        return QStringLiteral("注册局");
    case DropSource::History:
        return QStringLiteral("历史");
    case DropSource::None:
        break;
    }
    return {};
}

std::optional<QDateTime> listedDropMoment(QStringView cell, const QTimeZone& listZone) {
    const QStringView text = cell.trimmed();
    if (text.size() != 19 || text[10] != u' ')
        return std::nullopt;
    const QDate date = QDate::fromString(text.first(10).toString(), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(text.sliced(11).toString(), QStringLiteral("hh:mm:ss"));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, listZone).toUTC();
}

RegistryDropFacts registryDropFacts(const RegistryResult& result) {
    RegistryDropFacts facts;
    facts.deletion = result.events.deletion;
    facts.pendingDelete = result.verdict == RegistryVerdict::HeldPendingDelete;
    facts.lastChanged = result.events.lastChanged;
    return facts;
}

std::optional<QDateTime> registryDropMoment(const RegistryDropFacts& facts) {
    if (facts.deletion.isValid())
        return facts.deletion.toUTC();
    if (facts.pendingDelete && facts.lastChanged.isValid())
        return facts.lastChanged.toUTC().addDays(kPendingDeleteDays);
    return std::nullopt;
}

QString dropSuffix(const QString& domain) {
    const qsizetype dot = domain.indexOf(u'.');
    return dot < 0 ? QString() : domain.sliced(dot).toLower();
}

std::optional<QDateTime> becameFreeAt(const QList<CheckRecord>& newestFirst) {
    bool seenRegistered = false;
    for (auto it = newestFirst.crbegin(); it != newestFirst.crend(); ++it) {
        if (it->verdict == CheckVerdict::Registered)
            seenRegistered = true;
        else if (it->verdict == CheckVerdict::Free && seenRegistered)
            return it->time.toUTC();
    }
    return std::nullopt;
}

DropHistory::DropHistory(const QTimeZone& listZone) : m_zone(listZone) {}

void DropHistory::add(const QString& suffix, const QDateTime& becameFree) {
    if (suffix.isEmpty() || !becameFree.isValid())
        return;
    const QTime time = becameFree.toTimeZone(m_zone).time();
    m_secondsOfDay[suffix.toLower()].append(time.msecsSinceStartOfDay() / 1000);
}

void DropHistory::addLog(const QString& domain, const QList<CheckRecord>& newestFirst) {
    if (const auto at = becameFreeAt(newestFirst))
        add(dropSuffix(domain), *at);
}

std::optional<QTime> DropHistory::usualTime(const QString& suffix) const {
    const auto it = m_secondsOfDay.constFind(suffix.toLower());
    if (it == m_secondsOfDay.cend() || it->size() < kMinDrops)
        return std::nullopt;
    return QTime(0, 0).addSecs(circularMedian(*it));
}

std::optional<QDateTime> learnedDropMoment(QTime usualTime, QDate deletionDate,
                                           const QTimeZone& listZone, const QDateTime& now) {
    if (!usualTime.isValid() || !deletionDate.isValid())
        return std::nullopt;
    for (int day = 0; day < WatchRules::kGiveUpDays; ++day) {
        const QDateTime moment = QDateTime(deletionDate.addDays(day), usualTime, listZone).toUTC();
        if (!ClosePolling::isSpent(moment, now))
            return moment;
    }
    return std::nullopt;
}

ExpectedDrop expectedDrop(const DropInputs& inputs, const QTimeZone& listZone,
                          const QDateTime& now) {
    const auto pick = [&](const std::optional<QDateTime>& moment, DropSource source) {
        return moment && !ClosePolling::isSpent(*moment, now)
                   ? std::optional(ExpectedDrop{*moment, source, dropSourceLabel(source)})
                   : std::nullopt;
    };
    auto listed = listedDropMoment(inputs.listCell, listZone);
    if (!listed && inputs.listedMoment.isValid())
        listed = inputs.listedMoment.toUTC();
    if (auto drop = pick(listed, DropSource::List))
        return *drop;
    if (auto drop = pick(registryDropMoment(inputs.registry), DropSource::Registry))
        return *drop;
    if (inputs.usualTime && inputs.deletionDate) {
        const auto learned =
            learnedDropMoment(*inputs.usualTime, *inputs.deletionDate, listZone, now);
        if (auto drop = pick(learned, DropSource::History))
            return *drop;
    }
    return {};
}
