#pragma once

#include "watch/CheckRecord.h"
#include "watch/WatchEntry.h"

#include <QDateTime>
#include <QList>
#include <QStringView>
#include <QTimeZone>

#include <chrono>
#include <limits>
#include <optional>

// The watch list's decisions, as pure functions of the moment and the zone passed in: no clock
// is read here. The zone is the local one unless another is handed in.
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

// A name is free only on two free answers in a row at least this far apart; the second is asked
// for this long after the first.
inline constexpr seconds kConfirmAfter{30};

seconds clampInterval(seconds interval);

// Trimmed and lower case; empty when nothing is left.
QString normaliseDomain(const QString& domain);

// Whether the answer names the domain: in any case, as a whole name (asking b.com, "ab.com" and
// "b.com.cn" do not name it), in its own or its ASCII-compatible spelling. Only the answer's
// first kNamedWithin characters are read.
inline constexpr qsizetype kNamedWithin = 64 * 1024;
bool namesDomain(QStringView answer, const QString& domain);

// Deletion dates are days of the list's calendar: a day starts at its first moment in the zone,
// which is not 00:00 where summer time skips midnight.
QDateTime deletionStart(QDate date, const QTimeZone& zone = QTimeZone::systemTimeZone());

// The moments a deletion date brings, in milliseconds since the epoch.
struct DeletionDays {
    qint64 startMs;  // the date's start
    qint64 giveUpMs; // the start of the seventh day after the date
};
DeletionDays deletionDays(QDate date, const QTimeZone& zone);

// The schedule's one rule: a dated name awaits its date's start, is watched from then (the date
// and the six days after it) and given up at the start of the seventh day; a name without a date
// (no days) is watched for ever. `untilMs` is when the clock next changes the state.
struct StateByClock {
    WatchState state;
    qint64 untilMs = std::numeric_limits<qint64>::max();
};
StateByClock stateByClock(const DeletionDays* days, qint64 nowMs);

std::optional<QDateTime> giveUpMoment(const WatchEntry& entry,
                                      const QTimeZone& zone = QTimeZone::systemTimeZone());

// The state at `now`: Free, GivenUp and Caught stay; otherwise the state by the clock.
WatchState stateAt(const WatchEntry& entry, const QDateTime& now,
                   const QTimeZone& zone = QTimeZone::systemTimeZone());

// Whether the watch checks the name on its own: while it is not finished, and while a first free
// answer waits for its confirmation, whatever the state.
bool isChecked(const WatchEntry& entry);

// A new name is checked at the start of its date, or at once when that has passed or it has none.
WatchEntry newEntry(const QString& domain, std::optional<QDate> date, const QDateTime& now,
                    const QTimeZone& zone = QTimeZone::systemTimeZone());

// The entry after a check: counted whatever it found. Free on the second free answer in a row at
// least kConfirmAfter after the first; any other answer starts the row again. A free name found
// registered is caught. The next check is one interval later (not before the date starts), or
// kConfirmAfter after a first free answer. The registry outweighs the service: while its last
// word holds the name, a second free answer ends the row instead; while it says the name is not
// held, a registered answer catches nothing.
WatchEntry afterCheck(WatchEntry entry, const CheckRecord& record, seconds interval,
                      const QTimeZone& zone = QTimeZone::systemTimeZone());

// The entry after its registry answered: not held makes the name free at once, whatever the
// service said; a free name the registry holds is caught. Without a verdict nothing changes but
// the standing kept.
WatchEntry afterRegistryAnswer(WatchEntry entry, const RegistryStanding& standing, seconds interval,
                               const QDateTime& now,
                               const QTimeZone& zone = QTimeZone::systemTimeZone());

// When the next check should be; invalid for names not checked on their own. Planned from the
// earlier of the last check and now, so that a clock set back silences no name.
QDateTime plannedCheck(const WatchEntry& entry, seconds interval, const QDateTime& now,
                       const QTimeZone& zone);

// When a caught name was found registered, from its check log (newest first): the first
// registered answer after the newest free one.
std::optional<QDateTime> caughtAt(const QList<CheckRecord>& newestFirst);

// Any answer other than a rate refusal brings the spacing back to the base.
milliseconds nextSpacing(milliseconds current, bool rateRefused);

} // namespace WatchRules
