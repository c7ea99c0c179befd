#include "watch/WatchMonitor.h"

#include "verify/CheckProtocol.h"
#include "watch/ClosePolling.h"
#include "watch/WatchRules.h"
#include "watch/WatchSchedule.h"
#include "watch/WatchStore.h"

#include <QPointer>
#include <QSet>

#include <algorithm>

namespace {

// The timer never sleeps longer than this, so a wall clock that jumped (a suspended machine,
// a corrected clock) is noticed within a minute; one pass over the list costs well under 1 ms.
constexpr qint64 kLongestSleepMs = 60 * 1000;

// Beyond this many rows changed at once, a view is better off reading the list again.
constexpr qsizetype kSingleChangeSignalsUpTo = 100;

void keepEarliest(QDateTime& earliest, const QDateTime& candidate) {
    if (candidate.isValid() && (!earliest.isValid() || candidate < earliest))
        earliest = candidate;
}

} // namespace

WatchMonitor::WatchMonitor(WatchStore& store, StartCheck startCheck, Clock clock, QObject* parent)
    : QObject(parent), m_store(store), m_startCheck(std::move(startCheck)),
      m_clock(std::move(clock)), m_zoneSource([] { return QTimeZone::systemTimeZone(); }),
      m_zone(m_zoneSource()), m_listZone(QTimeZone::systemTimeZone()), m_history(m_listZone),
      m_interval(WatchRules::kDefaultInterval), m_spacing(WatchRules::kBaseSpacing) {
    m_timer.setSingleShot(true);
    // A coarse timer may fire 5% late: three minutes on an hour's wait past a name's drop.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &WatchMonitor::runDue);
}

WatchMonitor::~WatchMonitor() {
    stop();
}

void WatchMonitor::setRegistry(AskRegistry ask, CancelRegistry cancel) {
    cancelRegistry(m_registryAsked.keys());
    m_askRegistry = std::move(ask);
    m_cancelRegistry = std::move(cancel);
}

void WatchMonitor::stop() {
    m_stopped = true;
    cancelRegistry(m_registryAsked.keys());
}

void WatchMonitor::load() {
    m_entries = m_store.loadAll();
    m_interval = m_store.interval();
    const QDateTime now = m_clock();
    m_zone = m_zoneSource();
    m_lastNow = now;
    m_history = DropHistory(m_listZone);
    for (const WatchEntry& entry : m_entries) {
        // Only a name seen free can have seen its drop; reading every log would slow the start.
        if (entry.state == WatchState::Free || entry.state == WatchState::Caught)
            m_history.addLog(entry.domain,
                             m_store.recentChecks(entry.domain, WatchStore::kChecksKeptPerName));
    }
    for (WatchEntry& entry : m_entries) {
        // The file's plan stands unless the rules plan earlier: a clock set back or a zone
        // changed while the program was away silences no name.
        const QDateTime stored = entry.nextCheck;
        plan(entry, WatchRules::plannedCheck(entry, m_interval, now, m_zone), now);
        if (entry.nextCheck.isValid() && stored.isValid() && stored < entry.nextCheck)
            entry.nextCheck = stored;
    }
    m_requested.clear();
    m_unremoved.clear();
    m_intervalUnsaved = false;
    reindex();
    emit entriesReset();
    runDue();
}

std::optional<WatchEntry> WatchMonitor::entry(const QString& domain) const {
    const qsizetype index = indexOf(WatchRules::normaliseDomain(domain));
    return index < 0 ? std::nullopt : std::optional<WatchEntry>(m_entries[index]);
}

qsizetype WatchMonitor::indexOf(const QString& domain) const {
    return m_indexByDomain.value(domain, -1);
}

void WatchMonitor::reindex() {
    m_indexByDomain.clear();
    m_indexByDomain.reserve(m_entries.size());
    for (qsizetype i = 0; i < m_entries.size(); ++i)
        m_indexByDomain.insert(m_entries[i].domain, i);
}

bool WatchMonitor::add(const QString& domain, std::optional<QDate> deletionDate,
                       const QString& listCell) {
    return addMany({{domain, deletionDate, listCell}}) == 1;
}

void WatchMonitor::setListZone(const QTimeZone& zone) {
    m_listZone = zone.isValid() ? zone : QTimeZone::systemTimeZone();
    m_history = DropHistory(m_listZone);
}

void WatchMonitor::plan(WatchEntry& entry, const QDateTime& intervalPlan,
                        const QDateTime& now) const {
    if (!WatchRules::isChecked(entry)) {
        entry.expected = {};
        entry.nextCheck = intervalPlan;
        return;
    }
    DropInputs inputs;
    inputs.listedMoment = entry.listedDrop;
    inputs.deletionDate = entry.deletionDate;
    inputs.registry.deletion = entry.registry.deletion;
    inputs.registry.pendingDelete = entry.registry.verdict == RegistryVerdict::HeldPendingDelete;
    inputs.registry.lastChanged = entry.registry.lastChanged;
    inputs.usualTime = m_history.usualTime(dropSuffix(entry.domain));
    entry.expected = expectedDrop(inputs, m_listZone, now);
    entry.nextCheck = ClosePolling::nextCheck(m_closePolling ? entry.expected.moment : QDateTime(),
                                              entry.lastCheck, intervalPlan, now);
}

void WatchMonitor::setClosePolling(bool on) {
    if (on == m_closePolling)
        return;
    m_closePolling = on;
    replanAll(m_clock());
    rearm();
}

void WatchMonitor::learnDrop(const QString& domain, const QDateTime& now) {
    const QString suffix = dropSuffix(domain);
    const std::optional<QTime> before = m_history.usualTime(suffix);
    m_history.addLog(domain, m_store.recentChecks(domain, WatchStore::kChecksKeptPerName));
    if (m_history.usualTime(suffix) == before)
        return;
    QList<WatchEntry> moved;
    for (WatchEntry& entry : m_entries) {
        if (entry.expected.source != DropSource::None &&
            entry.expected.source != DropSource::History)
            continue;
        if (dropSuffix(entry.domain) != suffix)
            continue;
        const WatchEntry was = entry;
        plan(entry, WatchRules::plannedCheck(entry, m_interval, now, m_zone), now);
        if (entry.nextCheck != was.nextCheck || entry.expected.moment != was.expected.moment)
            moved.append(entry);
    }
    if (!writeAndAnnounce(moved))
        reportStoreFailure();
}

int WatchMonitor::addMany(const QList<NewName>& names) {
    const QDateTime now = m_clock();
    QList<WatchEntry> fresh;
    QSet<QString> seen;
    for (const NewName& name : names) {
        WatchEntry entry = WatchRules::newEntry(name.domain, name.deletionDate, now, m_zone);
        if (entry.domain.isEmpty() || indexOf(entry.domain) >= 0 || seen.contains(entry.domain))
            continue;
        entry.listedDrop = listedDropMoment(name.listCell, m_listZone).value_or(QDateTime());
        plan(entry, entry.nextCheck, now);
        seen.insert(entry.domain);
        fresh.append(std::move(entry));
    }
    if (fresh.isEmpty())
        return 0;
    const bool written = writeNew(fresh);
    for (const WatchEntry& entry : fresh) {
        m_indexByDomain.insert(entry.domain, m_entries.size());
        m_entries.append(entry);
    }
    if (fresh.size() <= kSingleChangeSignalsUpTo) {
        for (const WatchEntry& entry : fresh)
            emit entryChanged(entry.domain);
    } else {
        emit entriesReset();
    }
    if (!written)
        reportStoreFailure();
    runDue();
    return int(fresh.size());
}

bool WatchMonitor::writeNew(const QList<WatchEntry>& fresh) {
    const QList<WatchEntry> inserted = m_store.addMany(fresh);
    if (inserted.size() == fresh.size())
        return true;
    QSet<QString> insertedNames;
    for (const WatchEntry& entry : inserted)
        insertedNames.insert(entry.domain);
    // A removal the file did not take left rows behind: they go now, with their old checks, and
    // the new entries take their place.
    QStringList leftovers;
    QList<WatchEntry> again;
    for (const WatchEntry& entry : fresh) {
        if (insertedNames.contains(entry.domain))
            continue;
        if (!m_unremoved.contains(entry.domain))
            return false;
        leftovers.append(entry.domain);
        again.append(entry);
    }
    if (m_store.remove(leftovers) < 0)
        return false;
    for (const QString& domain : leftovers)
        m_unremoved.remove(domain);
    return m_store.addMany(again).size() == again.size();
}

int WatchMonitor::remove(const QStringList& domains) {
    QSet<QString> gone;
    for (const QString& domain : domains) {
        const QString normalised = WatchRules::normaliseDomain(domain);
        if (indexOf(normalised) >= 0)
            gone.insert(normalised);
    }
    if (gone.isEmpty())
        return 0;
    m_entries.removeIf([&](const WatchEntry& entry) { return gone.contains(entry.domain); });
    m_requested.removeIf([&](const QString& domain) { return gone.contains(domain); });
    reindex();
    cancelRegistry(gone.values());
    m_unremoved.unite(gone);
    const bool written = m_store.remove(m_unremoved.values()) >= 0;
    if (written)
        m_unremoved.clear();
    emit entriesReset();
    if (!written)
        reportStoreFailure();
    rearm();
    return int(gone.size());
}

void WatchMonitor::checkNow(const QStringList& domains) {
    for (const QString& domain : domains) {
        const QString normalised = WatchRules::normaliseDomain(domain);
        const qsizetype index = indexOf(normalised);
        if (index >= 0 && !m_requested.contains(normalised))
            m_requested.append(normalised);
    }
    runDue();
}

void WatchMonitor::setZoneSource(ZoneSource source) {
    m_zoneSource = std::move(source);
    runDue();
}

void WatchMonitor::setInterval(std::chrono::seconds interval) {
    m_interval = WatchRules::clampInterval(interval);
    m_intervalUnsaved = !m_store.setInterval(m_interval);
    const QDateTime now = m_clock();
    QList<WatchEntry> moved;
    for (WatchEntry& entry : m_entries) {
        const QDateTime was = entry.nextCheck;
        plan(entry, WatchRules::plannedCheck(entry, m_interval, now, m_zone), now);
        if (entry.nextCheck != was)
            moved.append(entry);
    }
    if (!writeAndAnnounce(moved) || m_intervalUnsaved)
        reportStoreFailure();
    rearm();
}

void WatchMonitor::setHeld(bool held) {
    m_held = held;
    if (!held) {
        runDue();
        return;
    }
    if (m_checking) {
        // The question would otherwise run beside the user's own: called off, it goes first
        // once the user's operation has ended.
        m_checking = false;
        ++m_checkToken;
        m_requested.removeAll(m_checkingDomain);
        m_requested.prepend(m_checkingDomain);
        if (m_cancelCheck)
            m_cancelCheck();
    }
    rearm();
}

void WatchMonitor::runDue() {
    // A check that reports back at once would otherwise re-enter here.
    if (m_running)
        return;
    m_running = true;
    const QDateTime now = m_clock();
    const QTimeZone zone = m_zoneSource();
    if (zone != m_zone || (m_lastNow.isValid() && now < m_lastNow)) {
        m_zone = zone;
        replanAll(now);
    }
    m_lastNow = now;
    // After a clock set back the spacing counts from now, not from an answer in the future.
    if (m_lastAnswerAt.isValid() && m_lastAnswerAt > now)
        m_lastAnswerAt = now;
    WatchSchedule schedule = WatchSchedule::scan(m_entries, now, m_zone);
    if (!schedule.stateChanged.isEmpty()) {
        applyStateChanges(schedule.stateChanged, now);
        schedule = WatchSchedule::scan(m_entries, now, m_zone);
    }
    if (!m_held && !m_checking && spacingGate(now) <= now) {
        QString next;
        while (next.isEmpty() && !m_requested.isEmpty()) {
            const QString requested = m_requested.takeFirst();
            if (indexOf(requested) >= 0)
                next = requested;
        }
        if (next.isEmpty() && schedule.mostOverdue >= 0)
            next = m_entries[schedule.mostOverdue].domain;
        if (!next.isEmpty())
            startCheck(next);
    }
    m_running = false;
    rearm();
}

void WatchMonitor::applyStateChanges(const QList<qsizetype>& changed, const QDateTime& now) {
    QList<WatchEntry> updated;
    updated.reserve(changed.size());
    for (const qsizetype index : changed) {
        WatchEntry& entry = m_entries[index];
        entry.state = WatchRules::stateAt(entry, now, m_zone);
        plan(entry, WatchRules::plannedCheck(entry, m_interval, now, m_zone), now);
        updated.append(entry);
    }
    if (!writeAndAnnounce(updated))
        reportStoreFailure();
}

// After a clock set back or a change of zone, states and plans made by the old ones are stale.
void WatchMonitor::replanAll(const QDateTime& now) {
    QList<WatchEntry> updated;
    for (WatchEntry& entry : m_entries) {
        const WatchState state = WatchRules::stateAt(entry, now, m_zone);
        WatchEntry replanned = entry;
        replanned.state = state;
        plan(replanned, WatchRules::plannedCheck(replanned, m_interval, now, m_zone), now);
        if (replanned.state != entry.state || replanned.nextCheck != entry.nextCheck) {
            entry = replanned;
            updated.append(entry);
        }
    }
    if (!writeAndAnnounce(updated))
        reportStoreFailure();
}

bool WatchMonitor::writeAndAnnounce(const QList<WatchEntry>& changed) {
    if (changed.isEmpty())
        return true;
    const bool written = m_store.updateMany(changed);
    if (changed.size() <= kSingleChangeSignalsUpTo) {
        for (const WatchEntry& entry : changed)
            emit entryChanged(entry.domain);
    } else {
        emit entriesReset();
    }
    return written;
}

QDateTime WatchMonitor::spacingGate(const QDateTime& now) const {
    if (!m_lastAnswerAt.isValid())
        return now;
    return m_lastAnswerAt.addMSecs(m_spacing.count());
}

void WatchMonitor::startCheck(const QString& domain) {
    m_checking = true;
    m_checkingDomain = domain;
    const quint64 token = ++m_checkToken;
    askRegistry(domain);
    QPointer<WatchMonitor> self(this);
    m_startCheck(domain, [self, token, domain](const CheckResult& result) {
        if (self)
            self->finishCheck(token, domain, result);
    });
}

void WatchMonitor::finishCheck(quint64 token, const QString& domain, CheckResult result) {
    // Only the first report of the check in flight counts.
    if (!m_checking || token != m_checkToken)
        return;
    m_checking = false;
    const QDateTime now = m_clock();
    m_lastAnswerAt = now;
    m_spacing = WatchRules::nextSpacing(m_spacing, result.rateRefused);

    const qsizetype index = indexOf(domain);
    if (index >= 0) {
        CheckRecord& record = result.record;
        record.time = record.time.isValid() ? record.time.toUTC() : now.toUTC();
        record.firstLine = AnswerFirstLine(record.firstLine);
        if (result.rateRefused)
            record.verdict = CheckVerdict::NoVerdict;
        const bool wasFree = m_entries[index].state == WatchState::Free;
        const bool rowStarted = m_entries[index].freeSince.isValid();
        WatchEntry after = WatchRules::afterCheck(m_entries[index], record, m_interval, m_zone);
        plan(after, after.nextCheck, now);
        m_entries[index] = after;
        const bool written = writeCheck(record, after);
        emit entryChanged(domain);
        if (!wasFree && after.state == WatchState::Free) {
            learnDrop(domain, now);
            emit becameFree(domain, after.registry.isNotHeld());
        }
        // The registry may say at once what the service needs a second answer for.
        if (!rowStarted && after.freeSince.isValid())
            askRegistry(domain);
        if (!written)
            reportStoreFailure();
    }
    rearm();
}

void WatchMonitor::askRegistry(const QString& domain) {
    if (!m_askRegistry || m_stopped || m_registryAsked.contains(domain))
        return;
    const quint64 token = ++m_registryToken;
    m_registryAsked.insert(domain, {token, 0});
    QPointer<WatchMonitor> self(this);
    const quint64 id = m_askRegistry(domain, [self, domain, token](const RegistryResult& result) {
        if (self)
            self->finishRegistry(domain, token, result);
    });
    // An answer given before ask returned has taken the question off already.
    const auto asked = m_registryAsked.find(domain);
    if (asked != m_registryAsked.end() && asked->token == token)
        asked->id = id;
}

void WatchMonitor::finishRegistry(const QString& domain, quint64 token,
                                  const RegistryResult& result) {
    const auto asked = m_registryAsked.constFind(domain);
    if (asked == m_registryAsked.cend() || asked->token != token)
        return;
    m_registryAsked.erase(asked);
    const qsizetype index = indexOf(domain);
    if (index < 0)
        return;
    const QDateTime now = m_clock();
    const bool wasFree = m_entries[index].state == WatchState::Free;
    WatchEntry after = WatchRules::afterRegistryAnswer(m_entries[index], StandingOf(result, now),
                                                       m_interval, now, m_zone);
    plan(after, after.nextCheck, now);
    m_entries[index] = after;
    const bool written = m_store.updateMany({after});
    emit entryChanged(domain);
    if (!wasFree && after.state == WatchState::Free) {
        learnDrop(domain, now);
        emit becameFree(domain, true);
    }
    if (!written)
        reportStoreFailure();
    rearm();
}

void WatchMonitor::cancelRegistry(const QStringList& domains) {
    for (const QString& domain : domains) {
        const auto asked = m_registryAsked.constFind(domain);
        if (asked == m_registryAsked.cend())
            continue;
        const quint64 id = asked->id;
        m_registryAsked.erase(asked);
        if (m_cancelRegistry && id != 0)
            m_cancelRegistry(id);
    }
}

bool WatchMonitor::writeCheck(const CheckRecord& record, const WatchEntry& after) {
    if (!m_store.recordCheck(record, after)) {
        // The name's row is missing when it was added while the file could not be written.
        if (!m_store.add(after) || !m_store.recordCheck(record, after))
            return false;
    }
    writeBackPending();
    return true;
}

// The file takes writes again: what it missed goes in now.
void WatchMonitor::writeBackPending() {
    if (!m_unremoved.isEmpty() && m_store.remove(m_unremoved.values()) >= 0)
        m_unremoved.clear();
    if (m_intervalUnsaved && m_store.setInterval(m_interval))
        m_intervalUnsaved = false;
}

void WatchMonitor::rearm() {
    if (m_running)
        return;
    const QDateTime now = m_clock();
    const WatchSchedule schedule = WatchSchedule::scan(m_entries, now, m_zone);
    QDateTime wake = schedule.nextMoment;
    if (!schedule.stateChanged.isEmpty())
        wake = now;
    if (!m_held && !m_checking && (schedule.mostOverdue >= 0 || !m_requested.isEmpty()))
        keepEarliest(wake, spacingGate(now));
    m_plannedWake = wake;
    if (!wake.isValid()) {
        m_timer.stop();
        return;
    }
    m_timer.start(int(std::clamp(now.msecsTo(wake), qint64(0), kLongestSleepMs)));
}

void WatchMonitor::reportStoreFailure() {
    emit storeFailed(m_store.lastProblem().reason());
}
