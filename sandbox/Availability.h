#pragma once

#include "DomainCatalog.h"

#include <QDate>

#include <cstdint>
#include <string>
#include <string_view>

enum class Availability { Registered, Free };

// A stand-in registry's verdict for a normalised name. A name still waiting for its deletion
// day is registered; of the names already deleted, a stable share has been registered again;
// a name the data set does not hold gets a verdict from its hash. The same name gets the same
// verdict all day.
Availability DecideAvailability(const DomainCatalog& catalog, std::string_view name,
                                const QDate& today);

// The answer text: "|211|" for a registered name, "|210|" for a free one. The name is not
// echoed, so no name can put a marker into its own answer.
std::string AvailabilityAnswer(Availability availability);
std::string TooFrequentAnswer();

// FNV-1a with a salt: stable across runs and platforms.
std::uint64_t StableHash(std::string_view text, std::uint64_t salt);

inline constexpr int kReregisteredPercent = 15;
inline constexpr int kUnknownRegisteredPercent = 60;
