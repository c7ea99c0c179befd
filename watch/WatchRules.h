#pragma once

#include "watch/CheckRecord.h"
#include "watch/WatchEntry.h"

#include <QDateTime>

#include <chrono>
#include <optional>

// The watch list's decisions, as pure functions of the moment passed in: no clock is read here.
namespace WatchRules {

using std::chrono::milliseconds;
using std::chrono::seconds;

inline constexpr seconds kMinInterval{30};
inline constexpr seconds kMaxInterval{24 * 60 * 60};
inline constexpr seconds kDefaultInterval{10 * 60};

// Questions of the watch are this far apart at least; each rate refusal doubles it up to the cap.
inline constexpr milliseconds kBaseSpacing{1000};
inline constexpr milliseconds kMaxSpacing{5 * 60 * 1000};

inline constexpr int kGiveUpDays = 7;

seconds clampInterval(seconds interval);

// Trimmed and lower case; empty when nothing is left.
QString normaliseDomain(const QString& domain);

// Deletion dates are days of the user's calendar: they start at local midnight.
QDateTime deletionStart(QDate date);

// A name with a date that was never found free is given up at the start of the seventh day after
// its date, local time: the date and the six days after it are watched. Names without a date are
// never given up.
std::optional<QDateTime> giveUpMoment(const WatchEntry& entry);

// The state at `now`: Free and GivenUp stay; otherwise given up, awaiting or watching by the date.
WatchState stateAt(const WatchEntry& entry, const QDateTime& now);

// A new name is checked at the start of its date, or at once when that has passed or it has none.
WatchEntry newEntry(const QString& domain, std::optional<QDate> date, const QDateTime& now);

// The entry after a check: counted whatever it found, free only on a free verdict, and next
// checked one interval later (not before its date starts).
WatchEntry afterCheck(WatchEntry entry, const CheckRecord& record, seconds interval);

// When the next check should be, given the last one; invalid for finished names.
QDateTime plannedCheck(const WatchEntry& entry, seconds interval);

// Any answer other than a rate refusal brings the spacing back to the base.
milliseconds nextSpacing(milliseconds current, bool rateRefused);

} // namespace WatchRules
