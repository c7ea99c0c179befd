#pragma once

#include "registry/RegistryResult.h"
#include "watch/CheckRecord.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>
#include <QTime>
#include <QTimeZone>

#include <optional>

// When a watched name is expected to drop, from the best source that knows, as pure functions
// of what is handed in: no clock and no zone is read here.
enum class DropSource { None, List, Registry, History };

struct ExpectedDrop {
    QDateTime moment; // UTC; invalid for DropSource::None
    DropSource source = DropSource::None;
    QString label; // what the watch list shows as the source; empty for none
};

QString dropSourceLabel(DropSource source);

// The list row's deletion time, "yyyy-MM-dd hh:mm:ss", read in the list service's zone; none
// when the cell holds a date alone or anything else.
std::optional<QDateTime> listedDropMoment(QStringView cell, const QTimeZone& listZone);

// What a registry said that tells the drop.
struct RegistryDropFacts {
    QDateTime deletion; // the answer's deletion event
    bool pendingDelete = false;
    QDateTime lastChanged; // the answer's last changed event
};
RegistryDropFacts registryDropFacts(const RegistryResult& result);

inline constexpr int kPendingDeleteDays = 5;

// The deletion event; otherwise, for a name in pending delete, the end of the five days that
// pending delete lasts, counted from the last change (the change into pending delete). The end
// is the one moment that window names: a name dropped earlier is still seen by the interval
// checks, and registries drop in daily runs, so the end's time of day is the likeliest one.
std::optional<QDateTime> registryDropMoment(const RegistryDropFacts& facts);

// What learned drop times are kept apart by: everything from the name's first dot, ".com.cn".
QString dropSuffix(const QString& domain);

// When a name's check log (newest first) saw it turn free: the first free answer after a
// registered one; answers without a verdict in between count neither way. None when the name
// was never seen registered before it was free.
std::optional<QDateTime> becameFreeAt(const QList<CheckRecord>& newestFirst);

// The usual time of day, in the list's zone, at which names of a suffix turned free: the median
// of the drops seen, once kMinDrops are known. Times are read on a circle, cut at its widest
// gap, so that drops around midnight give a time around midnight.
class DropHistory {
public:
    static constexpr int kMinDrops = 3;

    explicit DropHistory(const QTimeZone& listZone);
    void add(const QString& suffix, const QDateTime& becameFree);
    // The name's drop from its log, when the log saw one.
    void addLog(const QString& domain, const QList<CheckRecord>& newestFirst);
    std::optional<QTime> usualTime(const QString& suffix) const;

private:
    QTimeZone m_zone;
    QHash<QString, QList<int>> m_secondsOfDay;
};

// The first moment at the usual time of day, from the deletion date on, whose close window has
// not ended at now; none beyond the days a name is watched.
std::optional<QDateTime> learnedDropMoment(QTime usualTime, QDate deletionDate,
                                           const QTimeZone& listZone, const QDateTime& now);

struct DropInputs {
    QString listCell; // the list row's deletion time cell; empty when the name came from no list
    std::optional<QDate> deletionDate;
    RegistryDropFacts registry;
    std::optional<QTime> usualTime; // the suffix's, from DropHistory
    QDateTime listedMoment = {}; // the list's moment read already, when its cell is long gone
};

// The best source's moment: the list's time, the registry's, the learned one, none. A moment
// whose close window has ended at now is spent and gives way to the next source.
ExpectedDrop expectedDrop(const DropInputs& inputs, const QTimeZone& listZone,
                          const QDateTime& now);
