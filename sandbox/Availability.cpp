#include "Availability.h"

#include "ServiceMarkers.h"

#include <algorithm>

namespace {

// The salt of the re-registered share this one replaced, so the same names stay taken.
constexpr std::uint64_t kCaughtSalt = 0x7265'6765'6e00ULL;
constexpr std::uint64_t kUnknownSalt = 0x756e'6b6e'6f77ULL;
constexpr std::uint64_t kSpreadSalt = 0x7370'7265'6164ULL;

bool InShare(std::string_view name, std::uint64_t salt, int percent) {
    return percent > 0 && StableHash(name, salt) % 100 < static_cast<std::uint64_t>(percent);
}

} // namespace

std::uint64_t StableHash(std::string_view text, std::uint64_t salt) {
    std::uint64_t hash = 0xcbf29ce484222325ULL ^ salt;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    // FNV alone leaves the low bits of similar names alike; mix before taking a remainder.
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdULL;
    return hash ^ (hash >> 33);
}

bool CaughtAtDrop(std::string_view name, int caughtPercent) {
    return InShare(name, kCaughtSalt, caughtPercent);
}

int DropSecond(std::string_view name, const DropRules& rules) {
    const int spread = std::max(rules.spreadSeconds, 0);
    const int offset =
        spread > 0
            ? static_cast<int>(StableHash(name, kSpreadSalt) % static_cast<std::uint64_t>(spread))
            : 0;
    return std::min(rules.hour * 3600 + rules.minute * 60 + offset, 24 * 3600 - 1);
}

bool PastDrop(std::string_view name, const QDate& deletionDate, const QDateTime& now,
              const DropRules& rules) {
    const QDateTime local = now.toLocalTime();
    return local.date() > deletionDate ||
           (local.date() == deletionDate &&
            local.time().msecsSinceStartOfDay() / 1000 >= DropSecond(name, rules));
}

QDateTime DropMoment(std::string_view name, const QDate& deletionDate, const DropRules& rules) {
    return QDateTime(deletionDate, QTime(0, 0).addSecs(DropSecond(name, rules)), Qt::LocalTime);
}

bool UnknownNameRegistered(std::string_view name) {
    return InShare(name, kUnknownSalt, kUnknownRegisteredPercent);
}

Availability DecideAvailability(const DomainCatalog& catalog, std::string_view name,
                                const QDateTime& now, const DropRules& rules) {
    const auto index = catalog.find(name);
    if (!index)
        return UnknownNameRegistered(name) ? Availability::Registered : Availability::Free;
    const bool dropped = PastDrop(name, catalog.domain(*index).deletionDate, now, rules);
    if (!dropped || CaughtAtDrop(name, rules.caughtPercent))
        return Availability::Registered;
    return Availability::Free;
}

std::string AvailabilityAnswer(Availability availability, std::string_view name) {
    std::string answer(name);
    answer += availability == Availability::Registered ? ServiceMarkers::kRegistered
                                                       : ServiceMarkers::kFree;
    answer += availability == Availability::Registered ? "registered\n" : "available\n";
    return answer;
}

std::string TooFrequentAnswer() {
    std::string answer = "result|429|";
    answer += ServiceMarkers::kTooFrequent;
    answer += '\n';
    return answer;
}
