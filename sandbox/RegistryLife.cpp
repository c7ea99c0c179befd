#include "RegistryLife.h"

namespace {

constexpr std::uint64_t kYearsSalt = 0x7965'6172'7300ULL;
constexpr std::uint64_t kSinceSalt = 0x7369'6e63'6500ULL;

// Between one and ten years, the same for a name every time.
int TermYears(std::string_view name) {
    return 1 + static_cast<int>(StableHash(name, kYearsSalt) % 10);
}

RegistryLife UnlistedLife(std::string_view name, const QDateTime& now) {
    RegistryLife life;
    if (!UnknownNameRegistered(name))
        return life;
    // Registered on a day between 2005 and 2024, renewed every year since.
    const std::uint64_t hash = StableHash(name, kSinceSalt);
    const QDate day = QDate(2005, 1, 1).addDays(static_cast<qint64>(hash % 7300));
    const int second = static_cast<int>((hash / 7300) % (24 * 3600));
    life.phase = RegistryPhase::Held;
    life.registration = QDateTime(day, QTime(0, 0), Qt::UTC).addSecs(second);
    const QDateTime nowUtc = now.toUTC();
    const int yearsSince = std::max(0, nowUtc.date().year() - day.year());
    life.expiration = life.registration.addYears(yearsSince);
    while (life.expiration <= nowUtc)
        life.expiration = life.expiration.addYears(1);
    life.lastChanged = std::max(life.registration, life.expiration.addYears(-1));
    return life;
}

} // namespace

RegistryLife LifeOf(const DeletedDomain* entry, std::string_view name, const QDateTime& now,
                    const DropRules& rules) {
    if (!entry)
        return UnlistedLife(name, now);
    RegistryLife life;
    const QDate deletionDate = entry->deletionDate;
    const QDateTime drop = DropMoment(name, deletionDate, rules);
    if (PastDrop(name, deletionDate, now, rules)) {
        if (!CaughtAtDrop(name, rules.caughtPercent)) {
            life.phase = RegistryPhase::Dropped;
            return life;
        }
        life.phase = RegistryPhase::HeldAgain;
        life.registration = drop;
        life.expiration = drop.addYears(1);
        life.lastChanged = drop;
        return life;
    }
    life.expiration = DropMoment(name, deletionDate.addDays(-kExpiryDaysBeforeDrop), rules);
    life.registration = life.expiration.addYears(-TermYears(name));
    if (PastDrop(name, deletionDate.addDays(-kPendingDeleteDays), now, rules)) {
        life.phase = RegistryPhase::PendingDelete;
        life.lastChanged = DropMoment(name, deletionDate.addDays(-kPendingDeleteDays), rules);
        life.deletion = drop;
    } else if (PastDrop(name, deletionDate.addDays(-kRedemptionDays), now, rules)) {
        life.phase = RegistryPhase::RedemptionPeriod;
        life.lastChanged = DropMoment(name, deletionDate.addDays(-kRedemptionDays), rules);
        life.deletion = drop;
    } else {
        life.phase = RegistryPhase::Held;
        // The last renewal.
        life.lastChanged = life.expiration.addYears(-1);
    }
    return life;
}

RegistryLife LifeIn(const DomainCatalog& catalog, std::string_view name, const QDateTime& now,
                    const DropRules& rules) {
    const auto index = catalog.find(name);
    return LifeOf(index ? &catalog.domain(*index) : nullptr, name, now, rules);
}
