#pragma once

#include "DomainCatalog.h"

#include <QDate>
#include <QDateTime>

#include <cstdint>
#include <string>
#include <string_view>

enum class Availability { Registered, Free };

inline constexpr int kDefaultDropHour = 9;
inline constexpr int kDefaultCaughtPercent = 15;
inline constexpr int kUnknownRegisteredPercent = 60;

// When a listed name drops and how many are taken at once by someone else.
struct DropRules {
    int hour = kDefaultDropHour;               // local hour of the deletion day, 0 to 23
    int caughtPercent = kDefaultCaughtPercent; // 0 to 100
    // Each name drops at its own second this far into the day after the hour and minute (0: all
    // at that minute). The spread stays within the day, so a drop keeps its date.
    int spreadSeconds = 0;
    int minute = 0; // of the drop hour, 0 to 59
};

// The second of its deletion day (local time) at which a listed name drops: the drop hour, plus
// and minute, plus the name's stable share of the spread.
int DropSecond(std::string_view name, const DropRules& rules);

// A stand-in registry's verdict for a normalised name at a moment (judged in local time). A
// listed name is registered until the drop hour of its deletion day, then free, except for a
// stable share caught at the drop, which stays registered. A name the data set does not hold
// gets a verdict from its hash that never changes.
Availability DecideAvailability(const DomainCatalog& catalog, std::string_view name,
                                const QDateTime& now, const DropRules& rules);

// Whether the listed name deleted on deletionDate has dropped at now: from its drop second of
// that day, compared field by field in local time so that no time zone rule can move the drop.
bool PastDrop(std::string_view name, const QDate& deletionDate, const QDateTime& now,
              const DropRules& rules);

// The name's drop moment in local time.
QDateTime DropMoment(std::string_view name, const QDate& deletionDate, const DropRules& rules);

// Whether a name the data set does not hold counts as registered: the same answer every time.
bool UnknownNameRegistered(std::string_view name);

// Whether the name is among those caught at its drop. The caught names of a smaller share are
// all among those of a larger one.
bool CaughtAtDrop(std::string_view name, int caughtPercent);

// The answer text names the name it answers for, then "|211|" for a registered name or "|210|"
// for a free one: "ab.com|210|available". The name must be normalised (NormaliseDomainName
// refuses "|"), so no name can put a marker into its own answer.
std::string AvailabilityAnswer(Availability availability, std::string_view name);
std::string TooFrequentAnswer();

// FNV-1a with a salt: stable across runs and platforms.
std::uint64_t StableHash(std::string_view text, std::uint64_t salt);
