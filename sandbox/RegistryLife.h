#pragma once

#include "Availability.h"
#include "DeletedDomain.h"
#include "DomainCatalog.h"

#include <QDateTime>

#include <string_view>

// Where a name stands in its registry's life at a moment. A listed name runs through the life of
// a name whose holder let it expire: held, then redemption, then pending delete, then dropped at
// the same moment the availability answers turn free, unless caught at its drop.
enum class RegistryPhase {
    Held,
    RedemptionPeriod, // from kRedemptionDays before the drop
    PendingDelete,    // from kPendingDeleteDays before the drop
    Dropped,          // no record
    HeldAgain,        // caught at its drop: a new registration
    NeverHeld,        // an unlisted name outside the unknown registered share
};

inline constexpr int kRedemptionDays = 35;
inline constexpr int kPendingDeleteDays = 5;
// The expiry the life starts from: a gTLD's auto-renew grace, redemption and pending delete
// take about this long.
inline constexpr int kExpiryDaysBeforeDrop = 75;

struct RegistryLife {
    RegistryPhase phase = RegistryPhase::NeverHeld;
    // Invalid where the phase has none. deletion is the drop's moment, set while the name is on
    // its way there (redemption and pending delete).
    QDateTime registration;
    QDateTime expiration;
    QDateTime lastChanged;
    QDateTime deletion;

    bool isHeld() const {
        return phase != RegistryPhase::Dropped && phase != RegistryPhase::NeverHeld;
    }
};

// The life of a name at now: entry is its data set entry, or null for a name the data set does
// not hold (held or never held by the rule DecideAvailability follows, with dates of its own
// that depend only on the name and now).
RegistryLife LifeOf(const DeletedDomain* entry, std::string_view name, const QDateTime& now,
                    const DropRules& rules);

// The same, looking the normalised name up in the catalog.
RegistryLife LifeIn(const DomainCatalog& catalog, std::string_view name, const QDateTime& now,
                    const DropRules& rules);
